// The real program SIGKILLed mid-storm twice; a notice adopting a provisional
// row logs only after its pass committed, so the log tells what must be kept.
#include "CommStack.h"
#include "Site.h"

#include <gtest/gtest.h>

TEST(KilledProgram, NoticeStormKeepsEveryCommittedPass)
{
    const int port = 43211, perRound = 5000, first = 300000;
    Site site(port);
    site.addProvisional(first, 2 * perRound);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const qsizetype loggedBefore = site.loggedIds().size();
        auto program = site.start();
        Termsim sim;
        ASSERT_TRUE(sim.start(simArgs(QStringLiteral("127.0.63.%1").arg(2 + round), 1, port)
                              << "--no-ftp"
                              << "--id-start" << QString::number(9000 + round)))
            << sim.lastLine().toStdString();
        ASSERT_TRUE(Site::answering(sim)) << program->stderrText().toStdString();
        sim.cmd(QStringLiteral("burst count=%1 rate=8000 id_start=%2 addr_base=127.%3.0.0 "
                               "idle_s=0.3")
                    .arg(perRound)
                    .arg(first + round * perRound)
                    .arg(64 + 32 * round)); // address ranges (and MACs) apart
        ASSERT_TRUE(sim.ok()) << sim.lastLine().toStdString();
        // Killed once a few hundred notices are committed, in mid-storm.
        ASSERT_TRUE(WaitFor([&] { return site.loggedIds().size() >= loggedBefore + 300; }, 15000))
            << program->stderrText().toStdString();
        program->kill();
        EXPECT_EQ(program->exitStatus(), QProcess::CrashExit);
    }

    const Site::Register reg = site.readRegister();
    EXPECT_EQ(reg.integrity, QStringLiteral("ok"));
    const QStringList logged = site.loggedIds();
    int adopted = 0;
    QStringList missing;
    for (int n = first; n < first + 2 * perRound; ++n) {
        const auto row = reg.rows.value(QString::number(n), {-1, QString()});
        if (row.first == 1)
            ++adopted;
        else if (row.first != 0)
            missing << QString::number(n);
    }
    EXPECT_TRUE(missing.isEmpty()) << "rows lost: " << missing.mid(0, 10).join(' ').toStdString();
    EXPECT_EQ(reg.count, 2 * perRound + 2) << "every row once (and the two answering terminals)";
    QStringList notInRegister;
    for (const QString &id : logged)
        if (reg.rows.value(id).first != 1)
            notInRegister << id;
    EXPECT_TRUE(notInRegister.isEmpty())
        << "logged but not committed: " << notInRegister.mid(0, 10).join(' ').toStdString();
    EXPECT_EQ(logged.size(), QSet<QString>(logged.begin(), logged.end()).size())
        << "a line written twice";
    EXPECT_GE(adopted, logged.size());
    EXPECT_LT(adopted, 2 * perRound) << "not killed mid-storm";
}
