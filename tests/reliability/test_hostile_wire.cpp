// Random datagrams (0..2,000 bytes, every code, non-CP932 bytes, path names)
// among valid notices: all answered, no crash, nothing touched outside.
#include "CommStack.h"
#include "Site.h"

#include "comm/UdpMessages.h"

#include <QDirIterator>
#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QUdpSocket>
#include <QtEndian>
#include <gtest/gtest.h>

namespace
{

// Every file and folder below root but outside the program folder, and
// the names in the folders around that carry the mark.
QStringList outside(const Site &site, const QStringList &around, const QString &mark)
{
    QStringList out;
    QDirIterator it(site.root(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        if (const QString p = it.next(); !(p + '/').startsWith(site.folder() + '/'))
            out << p;
    for (const QString &f : around)
        for (const QString &n : QDir(f).entryList(QDir::AllEntries | QDir::Hidden | QDir::System))
            if (n.contains(mark))
                out << f + QLatin1Char('/') + n;
    out.sort();
    return out;
}

// A datagram as an attacker or a broken terminal sends it.
QByteArray hostileDatagram(QRandomGenerator &rnd, const QString &mark)
{
    static const std::uint16_t codes[] = {0x8010, 0x8050, 0x8030, 0x8038, 0x8040,
                                          0x0010, 0x0050, 0x0058, 0x8011, 0xFFFF};
    static const QList<QByteArray> names{
        "../../../../../../tmp/", "/../../../../", "..\\..\\..\\", "/etc/", "Data/Sys/../../../",
        "\x81\x00\xFF\xFE", "\xE3\x81\x82", "%s%n%x", "\x1b[2J\x07",
        QByteArray(64, '9'), QByteArray(64, '/')};
    QByteArray d(rnd.bounded(2001), Qt::Uninitialized);
    for (char &c : d)
        c = char(rnd.bounded(256));
    if (d.size() >= 2 && rnd.bounded(10) < 8)
        qToBigEndian<quint16>(codes[rnd.bounded(int(std::size(codes)))], d.data());
    // Names with separators and bytes that are no CP932 in the text fields.
    for (int offset : {4, 74, 94, 114, 134, 174, 224, 274})
        if (rnd.bounded(3) == 0) {
            const QByteArray name = names[rnd.bounded(names.size())] + mark.toLatin1();
            const qsizetype width = qMin<qsizetype>(offset == 4 ? 64 : offset >= 224 ? 50 : 20,
                                                    d.size() - offset);
            if (width > 0)
                d.replace(offset, width, name.left(width));
        }
    // Answers go to the address inside: keep them on the loopback.
    if (d.size() >= 72)
        qToBigEndian<quint32>(0x7F004900u | quint32(rnd.bounded(1, 250)), d.data() + 68);
    return d;
}

QByteArray validNotice(int n, const QString &termId)
{
    Udp::TermNotify t;
    t.termId = termId;
    t.address = 0x7F004700u + std::uint32_t(n); // 127.0.71.n
    t.regist = 1, t.vendor = QStringLiteral("KEL"), t.machineName = QStringLiteral("KT-100");
    t.macAddress = QStringLiteral("02:00:7F:00:47:%1").arg(n, 2, 16, QLatin1Char('0')).toUpper();
    return Udp::buildTermNotify(t);
}

} // namespace

TEST(HostileWire, RandomDatagramsAmongValidNotices)
{
    const int port = 43231, terminals = 20, rounds = 20;
    const QString mark = QStringLiteral("kelpwn%1").arg(QRandomGenerator::global()->generate());
    Site site(port);
    // Folders that an unchecked ID would reach.
    for (const char *sub : {"Data/Sys/kel_sys", "Data/User/kel_user", "Data/Dial/kel_dial"})
        QDir().mkpath(site.folder() + QLatin1Char('/') + QLatin1String(sub));
    const QStringList around{site.root(), QFileInfo(site.root()).absolutePath(),
                             QStringLiteral("/tmp"), QStringLiteral("/")};
    const QStringList before = outside(site, around, mark);

    auto program = site.start();
    QObject owner;
    std::vector<QUdpSocket *> phones, attackers;
    for (int n = 0; n < terminals + 4; ++n) {
        auto *s = new QUdpSocket(&owner);
        s->bind(QHostAddress(QStringLiteral("127.0.%1.%2").arg(n < terminals ? 71 : 72).arg(n + 2)));
        (n < terminals ? phones : attackers).push_back(s);
    }
    const QHostAddress pc(QStringLiteral("127.0.0.1"));
    const auto acks = [&](int n) {
        int count = 0;
        while (phones[n]->hasPendingDatagrams()) {
            const QNetworkDatagram d = phones[n]->receiveDatagram();
            count += d.data().size() == 12 && Udp::messageCode(d.data()) == 0x0010;
        }
        return count;
    };
    ASSERT_TRUE(WaitFor(
        [&] {
            phones[0]->writeDatagram(validNotice(2, "7000"), pc, port);
            return phones[0]->waitForReadyRead(200) && acks(0) > 0;
        },
        15000))
        << program->stderrText().toStdString();

    // Each round: a notice from every phone, then 300 hostile datagrams;
    // every fifth phone's ID names a path.
    QRandomGenerator rnd(20240507);
    std::vector<int> answered(terminals, 0);
    const auto idOf = [&](int n) {
        return n % 5 == 4 ? QStringLiteral("/../../../../") + mark + QString::number(n)
                          : QString::number(7000 + n);
    };
    for (int round = 0; round < rounds; ++round) {
        for (int n = 0; n < terminals; ++n)
            phones[n]->writeDatagram(validNotice(n + 2, idOf(n)), pc, port);
        for (int i = 0; i < 300; ++i)
            attackers[i % attackers.size()]->writeDatagram(hostileDatagram(rnd, mark), pc, port);
        for (int n = 0; n < terminals; ++n)
            answered[n] += acks(n);
    }
    // A notice that comes while the phone's ack still waits is answered by
    // that ack, so a phone may get fewer acks than notices, never none.
    const auto allAnswered = [&](std::vector<int> &count) {
        return WaitFor(
            [&] {
                for (int n = 0; n < terminals; ++n)
                    count[n] += acks(n);
                return std::all_of(count.begin(), count.end(), [](int a) { return a >= 1; });
            },
            15000);
    };
    ASSERT_TRUE(allAnswered(answered)) << "phone 0 answered " << answered[0] << " times";
    // Once the storm has passed, every phone's next notice gets its answer.
    while (WaitFor(
        [&] {
            return std::any_of(phones.begin(), phones.end(), [](QUdpSocket *p) {
                return p->waitForReadyRead(0) || p->hasPendingDatagrams();
            });
        },
        300))
        for (int n = 0; n < terminals; ++n)
            acks(n);
    for (int n = 0; n < terminals; ++n)
        phones[n]->writeDatagram(validNotice(n + 2, idOf(n)), pc, port);
    std::vector<int> last(terminals, 0);
    ASSERT_TRUE(allAnswered(last));
    EXPECT_TRUE(program->running()) << program->stderrText().toStdString();
    program->terminate();
    ASSERT_TRUE(program->waitForExit());
    EXPECT_EQ(program->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program->exitCode(), 0) << program->stderrText().toStdString();

    const Site::Register reg = site.readRegister();
    EXPECT_EQ(reg.integrity, QStringLiteral("ok"));
    for (int n = 0; n < terminals; ++n) {
        const QString mac = QStringLiteral("02:00:7F:00:47:%1").arg(n + 2, 2, 16, QLatin1Char('0'));
        EXPECT_EQ(reg.rows.value(idOf(n)), qMakePair(1, mac.toUpper())) << idOf(n).toStdString();
    }
    EXPECT_EQ(outside(site, around, mark), before);
}
