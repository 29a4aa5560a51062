#include "Site.h"

#include "CommStack.h"

#include "common/Cp932.h"
#include "register/TermDatabase.h"
#include "support/RegisterFile.h"
#include "support/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

Site::Site(int udpPort, qint64 tmpfsBytes)
    : m_fs(tmpfsBytes > 0 ? std::make_unique<PrivateMount::Tmpfs>(m_root.path(), tmpfsBytes)
                          : nullptr),
      m_folder(m_root.file(QStringLiteral("program")))
{
    MakeProgramFolder(m_folder, OneFtpAccount, udpPort);
}

void Site::addRows(const QString &programFolder, int first, int count)
{
    ScriptedPrompter prompter;
    CTermDatabase db(programFolder);
    ASSERT_TRUE(db.startUp());
    std::vector<TermItem> items;
    for (int i = 0; i < count; ++i)
        items.push_back(TermItem{0, QString::number(first + i), 0});
    ASSERT_EQ(db.addTerminals(items), 0);
}

std::unique_ptr<ProgramRunner> Site::start()
{
    auto p = std::make_unique<ProgramRunner>(m_folder, QStringList{QStringLiteral("/wait=-1")});
    // termsim's terminals bind 127.0.x.y on the port the program binds on all addresses.
    p->setEnv(QStringLiteral("KELMNGPC_TEST_SHARED_UDP_PORT"), QStringLiteral("1"));
    p->start();
    return p;
}

QStringList Site::loggedIds() const
{
    QStringList ids;
    const QDir logs(m_folder + QStringLiteral("/Log"));
    static const QRegularExpression line(QStringLiteral("Err01:.*端末ID:(\\S+)"));
    for (const QString &name : logs.entryList({QStringLiteral("Log_*.txt")}, QDir::Files)) {
        QFile f(logs.filePath(name));
        f.open(QIODevice::ReadOnly);
        for (const QString &l : Cp932::decode(f.readAll()).split(QStringLiteral("\r\n")))
            if (const QRegularExpressionMatch m = line.match(l); m.hasMatch())
                ids << m.captured(1);
    }
    return ids;
}

Site::Register Site::readRegister(const QString &programFolder)
{
    const QString path = programFolder + QLatin1Char('/') + QLatin1String(CTermDatabase::FileName);
    Register r;
    for (const QVariantList &row : onFile(path, {"PRAGMA integrity_check"}))
        r.integrity += row[0].toString();
    for (const QVariantList &row :
         onFile(path, {"SELECT ltrim(TermID), TermEntryType, UserInfo1 FROM TermInfo"}))
        r.rows.insert(row[0].toString(), {row[1].toInt(), row[2].toString()});
    return r;
}

int killedAt(const QStringList &role, int operation, int atLeast)
{
    const auto progress = [operation](const QByteArray &line) {
        const QList<QByteArray> f = line.split(' ');
        return f.size() == 3 && f[0] == "P" && f[1].toInt() == operation ? f[2].toInt() : -1;
    };
    ProgramRunner child;
    child.start(QStringList{KEL_CHILD} + role);
    EXPECT_TRUE(child.waitLine([&](const QByteArray &l) { return progress(l) >= atLeast; }))
        << child.lastLine().toStdString() << child.stderrText().toStdString();
    child.kill();
    return progress(child.lastLine());
}
