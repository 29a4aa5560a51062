#include "PrivateMount.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace PrivateMount
{

static const char *const ChildMark = "KEL_PRIVATE_MOUNTS";

Where runTestInChild()
{
    if (qEnvironmentVariableIsSet(ChildMark))
        return Where::Child;
    if (::geteuid() != 0)
        return Where::NotRoot;
    const ::testing::TestInfo *t = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(ChildMark), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start("unshare", {"--mount", "--propagation", "private",
                            QCoreApplication::applicationFilePath(),
                            QString("--gtest_filter=%1.%2").arg(t->test_suite_name(), t->name())});
    const bool ended = child.waitForFinished(120000);
    const QString out = QString::fromUtf8(child.readAll());
    EXPECT_TRUE(ended && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0)
        << out.toStdString();
    EXPECT_TRUE(out.contains(QLatin1String("[  PASSED  ] 1 test"))) << out.toStdString();
    return Where::Parent;
}

Tmpfs::Tmpfs(const QString &folder, qint64 bytes) : m_folder(folder)
{
    m_mounted = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                        ("size=" + QByteArray::number(bytes)).constData()) == 0;
}

Tmpfs::~Tmpfs()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

QString fill(const QString &folder, qint64 room)
{
    const QString reserve = folder + QStringLiteral("/reserve");
    if (QFile r(reserve); room > 0 && r.open(QIODevice::WriteOnly))
        r.write(QByteArray(room, 'r'));
    const QString path = folder + QStringLiteral("/filler");
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const QByteArray block(65536, 'f');
    // Big blocks first, then ever smaller ones for the last bytes.
    for (qsizetype size = block.size(); size > 0; size /= 2)
        while (::write(fd, block.constData(), size_t(size)) == ssize_t(size)) {
        }
    ::close(fd);
    QFile::remove(reserve);
    return path;
}

} // namespace PrivateMount
