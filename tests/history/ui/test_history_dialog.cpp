// The window "設定履歴": what it compares for a selection, how the lines are
// marked, the restore button; a screenshot when KEL_SHOTS names a folder.
#include "common/Cp932.h"
#include "common/ProcessValues.h"
#include "common/SafeFile.h"
#include "history/ui/HistoryDialog.h"

#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

using SettingsHistory::Kind;
using SettingsHistory::Origin;

TEST(HistoryDialog, ShowsTheDifferenceOfTheSelectedVersionsAndRestoresOne)
{
    TempDir dir;
    ProcessValues::setProgramFolder(dir.path());
    dir.mkdir("Data/Sys");
    QFile sample(QStringLiteral(KEL_SOURCE_DIR "/samples/termsim/kel_sys.ini"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QString first = QString::fromUtf8(sample.readAll())
                              .replace("{terminal_id}", "1001")
                              .replace("{address}", "127.0.0.2");
    QString edited = first;
    edited.replace("SipPort=5060", "SipPort=5070").replace("Codec=PCMU", "Codec=G722");
    edited.replace("RingFile=\n", "RingFile=\nRingVolume=5\n").remove("NtpInterval=60\n");
    SettingsHistory::Store store(dir.path());
    for (const auto &[origin, text] : {std::pair{Origin::Read, first}, {Origin::Edited, edited}})
        ASSERT_TRUE(store.replace("1001", Kind::System, origin, [&] {
            return SafeFile::write(store.filePath("1001", Kind::System), Cp932::encode(text));
        }));
    store.markSent("1001", Kind::System, Cp932::encode(edited));

    ScriptedPrompter prompter;
    CHistoryDialog dlg(store, "1001", &prompter);
    dlg.show();
    EXPECT_EQ(dlg.versionTable->rowCount(), 2);
    EXPECT_EQ(dlg.versionTable->item(0, 3)->text().left(4), QString("送信済み"));
    // Opened on the current file against the version before it.
    EXPECT_EQ(dlg.compareLabel->text(), QString("比較元：第1版　　比較先：現在のファイル"));
    EXPECT_FALSE(dlg.restoreButton->isEnabled());
    QStringList marked;
    for (int row = 0; row < dlg.diffTable->rowCount(); ++row)
        if (!dlg.diffTable->item(row, 0)->text().isEmpty())
            marked << dlg.diffTable->item(row, 0)->text() + ":" +
                          (dlg.diffTable->item(row, 4)->text().isEmpty()
                               ? dlg.diffTable->item(row, 2)->text()
                               : dlg.diffTable->item(row, 4)->text());
    EXPECT_EQ(marked, (QStringList{"SIP:SipPort=5070", "Network:NtpInterval=60", "Audio:Codec=G722",
                                   "Terminal:RingVolume=5"}));
    dlg.changedOnlyBox->setChecked(true);
    EXPECT_EQ(dlg.diffTable->rowCount(), 4);
    dlg.changedOnlyBox->setChecked(false);

    dlg.selectVersions({1});
    EXPECT_TRUE(dlg.restoreButton->isEnabled());
    const QString shots = qEnvironmentVariable("KEL_SHOTS");
    if (!shots.isEmpty()) {
        QDir().mkpath(shots);
        dlg.diffTable->scrollToItem(dlg.diffTable->item(4, 0));
        dlg.grab().save(shots + "/history.png");
    }

    prompter.answer(MsgResult::Yes);
    dlg.restoreButton->click();
    EXPECT_EQ(Cp932::decode(dir.read("Data/Sys/kel_sys1001.ini")), first);
    EXPECT_EQ(dlg.versionTable->rowCount(), 3);
    EXPECT_EQ(dlg.versionTable->item(0, 2)->text(), QString("履歴から復元"));

    dlg.fileCombo->setCurrentIndex(2); // the phone book: no versions, no sections
    EXPECT_EQ(dlg.versionTable->rowCount(), 0);
    EXPECT_EQ(dlg.compareLabel->text(), QString("履歴はありません。"));
    EXPECT_TRUE(dlg.diffTable->isColumnHidden(0));
}
