// Edit flows and settings history against the simulator (ports 45101, 45103).
#include "cmds_e2e/ViewStack.h"

#include "common/Cp932.h"
#include "editor/EditorTestSupport.h"
#include "common/SafeFile.h"
#include "editor/ui/EditCommands.h"
#include "editor/ui/SettingsEditorDialog.h"
#include "history/ui/HistoryDialog.h"
#include "initsettings/InitialFile.h"
#include "termlist/ui/ModalDriver.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using EditorTest::keyIndex;

namespace
{

// A view stack with the sample descriptions and the edit commands bound.
struct EditStack : ViewStack {
    std::unique_ptr<EditCommands> edits;
    explicit EditStack(int port) : ViewStack(port)
    {
        dir.mkdir("Config/Sys");
        for (const char *f : {"Sys/sysconfig_KT-100_1.xml", "FirmConfig.xml", "FirmFilePath.ini"})
            QFile::copy(QStringLiteral(KEL_SOURCE_DIR "/samples/Config/") + f, dir.file(QStringLiteral("Config/") + f));
        edits = std::make_unique<EditCommands>(*view);
    }
    ~EditStack() { edits.reset(); }
    QLineEdit *line(SettingsEditorDialog *d, const QString &key) const
    {
        return qobject_cast<QLineEdit *>(d->input(keyIndex(d->form()->description(), key)));
    }
};

// The file the terminal got last whose name starts with `prefix`, as text.
QString received(Termsim &sim, const ViewStack &stack, const QString &address,
                 const QString &prefix)
{
    const QJsonArray files = sim.json("files 0").toArray();
    for (qsizetype i = files.size() - 1; i >= 0; --i) {
        const QString name = files.at(i).toObject().value("name").toString();
        if (name.startsWith(prefix)) {
            QFile f(stack.simFile(address, name));
            return f.open(QIODevice::ReadOnly) ? Cp932::decode(f.readAll()) : QString();
        }
    }
    return {};
}

} // namespace

// A terminal's file read, edited and written back, changed on the phone and
// read again; the history window compares the versions and restores the first.
TEST(EditE2e, TerminalFileReadEditedAndWrittenBack)
{
    using SettingsHistory::Origin;
    EditStack stack(45101);
    Termsim sim;
    ASSERT_TRUE(stack.withTerminals(sim, "127.0.120.2", 1));
    ASSERT_EQ(InitialFile::generate("1001", "KT-100", {}).outcome, InitialFile::Outcome::Written);
    const QByteArray initial = stack.dir.read("Data/Sys/kel_sys1001.ini");
    stack.select({"1001"});

    // "はい": the terminal's file comes first; the form opens on it and a
    // changed value saved with "端末書込み" goes back to the terminal.
    stack.prompter.answer(MsgResult::Yes); // read first
    stack.prompter.answer(MsgResult::Yes); // write back
    ModalDriver driver;
    driver.then<SettingsEditorDialog>([&](SettingsEditorDialog *d) {
        EXPECT_EQ(stack.line(d, "TerminalName")->text(), u"端末1001"_s); // as the terminal had it
        stack.line(d, "SipPort")->setText("5070");
        d->writeBox()->setChecked(true);
        d->okButton()->click();
    });
    stack.trigger("actionEditTermSys");
    ASSERT_TRUE(pumpUntil([&] { return driver.done() && !stack.edits->flow().waiting(); }, 30000));
    ASSERT_TRUE(stack.wait());
    EXPECT_EQ(sim.received(0, "RemoteOpenReq").size(), 2); // one session to read, one to write
    const QString sent = received(sim, stack, "127.0.120.2", "kel_sys");
    EXPECT_TRUE(sent.contains(u"\r\nSipPort=5070\r\n"_s)) << sent.toStdString();
    EXPECT_TRUE(sent.contains(u"\r\nTerminalName=端末1001\r\n"_s));
    EXPECT_TRUE(stack.bar.isEnabled());

    // Someone changed the name on the phone itself; it is read again.
    QByteArray changed = stack.dir.read("Data/Sys/kel_sys1001.ini");
    changed.replace(Cp932::encode(u"TerminalName=端末1001"_s), Cp932::encode(u"TerminalName=受付"_s));
    ASSERT_TRUE(SafeFile::write(stack.simFile("127.0.120.2", "kel_sys.ini"), changed));
    stack.trigger("actionReadSys");
    ASSERT_TRUE(stack.wait());
    SettingsHistory::Store store;
    QList<std::pair<Origin, bool>> made; // by whom, and whether it was sent
    for (const auto &v : store.list("1001", SettingsHistory::Kind::System).versions)
        made.append({v.madeBy, v.sentAt.isValid()});
    EXPECT_EQ(made, (QList<std::pair<Origin, bool>>{
                        {Origin::Initial, false}, {Origin::Read, false}, {Origin::Edited, true},
                        {Origin::Read, false}}));

    // The history window on the real terminal, then the first version back.
    stack.prompter.answer(MsgResult::Yes);
    ModalDriver window;
    window.then<CHistoryDialog>([&](CHistoryDialog *d) {
        EXPECT_EQ(d->versionTable->item(1, 3)->text().left(4), u"送信済み"_s);
        d->selectVersions({2});
        d->changedOnlyBox->setChecked(true);
        ASSERT_EQ(d->diffTable->rowCount(), 2); // the lines that differ, with their sections
        EXPECT_EQ(d->diffTable->item(0, 0)->text() + d->diffTable->item(1, 0)->text(),
                  u"SIPTerminal"_s);
        EXPECT_EQ(d->diffTable->item(1, 4)->text(), u"TerminalName=受付"_s);
        d->selectVersions({4});
        EXPECT_FALSE(d->restoreButton->isEnabled()) << "the current version";
        d->selectVersions({1});
        d->restoreButton->click();
        d->closeButton->click();
    });
    stack.trigger("actionSettingsHistory");
    ASSERT_TRUE(pumpUntil([&] { return window.done() && stack.bar.isEnabled(); }, 10000));
    EXPECT_EQ(stack.dir.read("Data/Sys/kel_sys1001.ini"), initial);
    const SettingsHistory::Listing back = store.list("1001", SettingsHistory::Kind::System);
    ASSERT_EQ(back.versions.size(), 5u);
    EXPECT_EQ(std::pair(back.versions.back().madeBy, back.current), std::pair(Origin::Restored, 5));
}

TEST(EditE2e, RegisteredFirmwareGoesToATerminalThatAsks)
{
    EditStack stack(45103);
    Termsim sim;
    ASSERT_TRUE(stack.withTerminals(sim, "127.0.122.2", 1));
    // Application program version "A2.00" in its header line.
    const QByteArray header = "S0" + QByteArray(36, '0') +
                              QByteArray("A2.00").toHex().toUpper().leftJustified(20, '0') + "\r\n";
    stack.dir.write("Apli/apli_v2.s", header + "S9030000FC\r\n");
    stack.prompter.answerFile(stack.dir.file("Apli/apli_v2.s"));
    ModalDriver driver;
    driver.then<SettingsEditorDialog>([&](SettingsEditorDialog *d) {
        stack.line(d, "ModelType")->setText("KT-100");
        d->browseButton(keyIndex(d->form()->description(), "ApliFilePath"))->click();
        d->okButton()->click();
    });
    stack.trigger("actionFirmRegister");
    ASSERT_TRUE(pumpUntil([&] { return driver.done() && stack.bar.isEnabled(); }, 10000));
    const QByteArray ini = stack.dir.read("Config/FirmFilePath.ini");
    EXPECT_TRUE(ini.startsWith("[Firm1]\r\nModelType=KT-100\r\nBootFilePath=\r\nApliFilePath=" +
                               stack.dir.file("Apli/apli_v2.s").toUtf8() + "\r\n"));

    // A terminal with an older application asks: it gets the registered file.
    sim.cmd("set 0 ver_apli=A1.00");
    sim.cmd("request 0 select=1");
    ASSERT_TRUE(pumpUntil([&] { return !received(sim, stack, "127.0.122.2", "apli_v2").isEmpty(); },
                          30000));
    EXPECT_TRUE(
        received(sim, stack, "127.0.122.2", "apli_v2").startsWith(QString::fromLatin1(header)));
}
