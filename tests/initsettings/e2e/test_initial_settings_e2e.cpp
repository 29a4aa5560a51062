// New terminals against the real communication stack and the simulator:
// three terminals without an ID ask while two numbers of the range are
// free. Two get the lowest free numbers and their settings file, restart
// and register with their new IDs; the third is closed without a file and
// its request ends with "no free SIP address"; the dialog's list fills up
// and waiting ends by itself.
#include "CommStack.h"

#include "comm/UpdateDecider.h"
#include "common/Cp932.h"
#include "common/ProcessValues.h"
#include "editor/DescriptionLoader.h"
#include "initsettings/BoxRelay.h"
#include "initsettings/InitialSettingsProvider.h"
#include "initsettings/ui/InitSettingsDialog.h"

#include "support/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <map>

namespace
{

constexpr int Port = 44111;
const QString Sample = KEL_SOURCE_DIR "/samples/Config/Sys/sysconfig_KT-100_1.xml";

QByteArray expectedFile(const QString &id)
{
    const QString version = ReadDescriptionVersion(Sample).version;
    return ("Version=" + version + "\r\n\r\n[SIP]\r\nSipAddress=" + id + "\r\n").toLatin1();
}

} // namespace

TEST(InitialSettingsE2e, TwoFreeNumbersForThreeNewTerminals)
{
    ScriptedPrompter prompts;
    CInitialSettingsTable table;
    CBoxRelay boxes;
    CInitialSettingsProvider provider(
        table, [&](const QString &t, const QString &c, unsigned ty) { boxes.post(t, c, ty); });
    CAutoUpdateDecider decider;
    decider.initialSettingsMode = [&] { return provider.running(); };
    decider.initialSettings = [&](TermRequestPayload &r) { return provider.prepare(r); };

    CommStack stack({.udpPort = Port, .decider = &decider});
    ASSERT_TRUE(stack.up());
    stack.dir.write("Config/FirmFilePath.ini", "[None]\r\n");
    QFile sample(Sample);
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    stack.dir.write("Config/Sys/sysconfig_KT-100_1.xml", sample.readAll());
    ASSERT_FALSE(ReadDescriptionVersion(Sample).version.isEmpty());
    stack.dir.mkdir("Data/Sys");
    std::vector<TermItem> registered{{0, "7100", 0}, {0, "7102", 0}, {0, "7104", 0}};
    ASSERT_EQ(stack.db->addTerminals(registered), 0);
    ASSERT_EQ(stack.db->writeInitInfo(InitInfo{0, "7100", 5}), 0);

    CInitSettingsDialog dialog(*stack.db, table);
    dialog.show();
    dialog.executeButton->click();
    ASSERT_TRUE(dialog.running());
    EXPECT_EQ(table.freeCount(), 2);
    EXPECT_EQ(dialog.countLabel->text(), "3件");

    Termsim sim;
    ASSERT_TRUE(
        sim.start(simArgs("127.0.111.2", 3, Port) +
                  QStringList{"--set", "terminal_id=ERROR", "--set", "adopt_sip_address=true",
                              "--set", "notify_after_restart_s=0"}))
        << sim.lastLine().toStdString();
    sim.cmd("request all");
    ASSERT_TRUE(stack.view->waitFor(TaskKind::TermRequestEnded, 3, 30000));

    // Who got what: the two numbers went to two terminals, nobody got one twice.
    std::map<QString, int> byId; // terminal ID of the ended request -> result
    for (const auto &m : stack.view->messages)
        if (m->kind == TaskKind::TermRequestEnded) {
            const auto *r = m->slot<TermRequestPayload>(0);
            byId[r->request.notify.termId] = r->result;
        }
    EXPECT_EQ(byId, (std::map<QString, int>{{"7101", 0}, {"7103", 0}, {"ERROR", 11}}));

    const QJsonArray terms = sim.json("list").toArray();
    QStringList given;
    for (int t = 0; t < 3; ++t) {
        EXPECT_EQ(sim.received(t, "TermRequestAccept").size(), 1) << t;
        const QJsonArray files = sim.json(QString("files %1").arg(t)).toArray();
        if (files.isEmpty()) {
            // No number: closed without a file and without restart.
            EXPECT_EQ(std::pair(sim.received(t, "RemoteOpenReq").size(), sim.closes(t, 0)),
                      std::pair(qsizetype(0), 1));
            continue;
        }
        const QString name = files[0].toObject().value("name").toString();
        EXPECT_TRUE(QRegularExpression("^kel_sys\\d{14}\\.ini$").match(name).hasMatch())
            << name.toStdString();
        QFile f(terms[t].toObject().value("folder").toString() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray body = f.readAll();
        const QString id = body.contains("7101") ? "7101" : "7103";
        EXPECT_EQ(body, expectedFile(id));
        EXPECT_EQ(sim.closes(t, 1), 1) << "a new system settings file restarts the terminal";
        given << id;
    }
    given.sort();
    EXPECT_EQ(given, (QStringList{"7101", "7103"}));

    // Restarted with their new IDs, the two register themselves.
    ASSERT_TRUE(pumpUntil(
        [&] {
            int found = 0;
            for (const TermEntry &e : stack.rows())
                found += (e.TermID == "7101" || e.TermID == "7103") && !e.UserInfo1.isEmpty();
            return found == 2;
        },
        20000));

    // The view tells the dialog after each ended request; the range is full now.
    dialog.requestEnded();
    EXPECT_EQ(dialog.countLabel->text(), "5件");
    EXPECT_FALSE(dialog.running());
    EXPECT_TRUE(dialog.closeButton->isEnabled());
    ASSERT_FALSE(prompts.records.isEmpty());
    EXPECT_EQ(prompts.records.back().caption, "SIPアドレス範囲外");
    // Nothing left to start with.
    dialog.executeButton->click();
    EXPECT_FALSE(dialog.running());
    EXPECT_EQ(prompts.records.size(), 2);

    const QString log = stack.log();
    EXPECT_EQ(log.count("Ope21:初期設定実行"), 3) << "the start and one per written file";
    EXPECT_TRUE(log.contains(QRegularExpression("Ope22:初期設定終了 +端末ID:7101 正常終了")));
    EXPECT_TRUE(
        log.contains(QRegularExpression("Err11:SIPアドレス設定範囲空きなし +端末ID:ERROR")));
    EXPECT_TRUE(log.contains(QRegularExpression("Err11:SIPアドレス設定範囲空きなし +端末ID: \r")));
    ProcessValues::operatorBusy = 0;
}
