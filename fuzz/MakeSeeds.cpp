// Writes the binary seeds of the fuzz corpora with the project's own
// builders: a valid datagram of every code and its near misses, update
// requests, firmware headers.   fuzz_make_seeds <fuzz/corpus folder>
#include "comm/UdpMessages.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace
{

QString g_root;

void seed(const char *target, const char *name, const QByteArray &bytes)
{
    QDir().mkpath(g_root + QLatin1Char('/') + QLatin1String(target));
    QFile f(g_root + QLatin1Char('/') + QLatin1String(target) + QLatin1Char('/') +
            QLatin1String(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::fprintf(stderr, "can't write %s/%s\n", target, name);
}

Udp::TermNotify notice(const char *id, const char *model, const char *boot, const char *apli)
{
    Udp::TermNotify n;
    n.termId = QString::fromUtf8(id);
    n.address = 0xC0A80114; // 192.168.1.20
    n.regist = 1;
    n.vendor = QStringLiteral("KEL");
    n.machineName = QString::fromUtf8(model);
    n.machineType = QStringLiteral("Desk");
    n.termTypeInfo1 = QStringLiteral("T1");
    n.termTypeInfo2 = QStringLiteral("T2");
    n.verBoot = QString::fromUtf8(boot);
    n.verApli = QString::fromUtf8(apli);
    n.verInfo1 = QStringLiteral("I1");
    n.macAddress = QStringLiteral(" 00:1a:2b:3c:4d:5e ");
    n.userInfo2 = QStringLiteral("ﾕｰｻﾞ情報");
    return n;
}

Udp::TermRequest request(const char *id, const char *model, const char *boot, const char *apli,
                         const QByteArray &stamps, std::uint16_t select)
{
    Udp::TermRequest r;
    r.notify = notice(id, model, boot, apli);
    r.sequence = 0x1234;
    r.fileSelect = select;
    r.stampField = stamps;
    return r;
}

QByteArray be32(std::int32_t v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((std::uint32_t(v) >> (24 - 8 * i)) & 0xFF);
    return b;
}

// Flags byte and the three last-write offsets of the stamps target.
QByteArray control(std::uint8_t flags, std::int32_t sys, std::int32_t user, std::int32_t dial)
{
    return QByteArray(1, char(flags)) + be32(sys) + be32(user) + be32(dial);
}

QByteArray srecord(const QByteArray &version, const char *end = "\r\n")
{
    return "S0" + QByteArray(36, '0') + version.toHex().toUpper().leftJustified(20, '0') + "AB" +
           end + "S1130000285F245F2212226A000424290008237C2A\r\n";
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds <corpus folder>\n");
        return 2;
    }
    g_root = QString::fromLocal8Bit(argv[1]);
    using namespace Udp;

    // ---- datagrams
    const QByteArray notify = buildTermNotify(notice("3001", "KT-100", "B1.00", "A2.00"));
    seed("datagram", "term_notify", notify);
    seed("datagram", "term_notify_400_bytes", notify + QByteArray(74, 'x'));
    seed("datagram", "term_notify_short", notify.left(325));
    Udp::TermNotify full = notice("1234567890123456789012345678901234567890123456789012345678901234",
                                  "KT-100ABCDEFGHIJKLMN", "B123456789", "A123456789");
    full.macAddress = QStringLiteral("001A2B3C4D5E");
    seed("datagram", "term_notify_full_fields", buildTermNotify(full));
    const QByteArray stamps = "06052024070809  ,06052024070809  ,06052024070809  ";
    seed("datagram", "term_request", buildTermRequest(request("3001", "KT-100", "B1.00", "A2.00", stamps, 4)));
    seed("datagram", "term_request_no_items",
         buildTermRequest(request("3001", "KT-100", "B1.00", "A2.00", "no stamps here", 1)));
    seed("datagram", "remote_open_ack", buildRemoteOpenAck());
    seed("datagram", "remote_open_nak_busy", buildRemoteOpenNak(NakReason::Busy));
    seed("datagram", "remote_open_nak_remote", buildRemoteOpenNak(NakReason::Remote));
    seed("datagram", "remote_open_nak_short", buildRemoteOpenNak(7).left(4));
    seed("datagram", "remote_close_ack", buildRemoteCloseAck());
    seed("datagram", "code_only", buildRemoteCloseAck().left(2));
    seed("datagram", "one_byte", QByteArray(1, '\x80'));
    const QDateTime t(QDate(2016, 2, 29), QTime(23, 59, 58));
    seed("datagram", "pc_term_notify_ack", buildMessage(Code::TermNotifyAck, 24, 0, t));
    seed("datagram", "pc_term_info_req", buildMessage(Code::TermInfoReq, 0, 0));
    seed("datagram", "pc_remote_open_req", buildMessage(Code::RemoteOpenReq, 0, 1));
    seed("datagram", "pc_remote_close_req", buildMessage(Code::RemoteCloseReq, 1, 0));
    seed("datagram", "pc_term_request_accept", buildMessage(Code::TermRequestAccept, 0, 0x1234));
    seed("datagram", "pc_term_request_result", buildMessage(Code::TermRequestResult, 3, 0x1234));

    // ---- stamps and the update decision
    seed("stamps", "same_second_all", control(0x40, 0, 0, 0) + stamps);
    seed("stamps", "one_second_later_system", control(0x10, 1, 0, 0) + stamps);
    seed("stamps", "terminal_newer_phone_book", control(0x30, 0, 0, -3600) + stamps);
    seed("stamps", "no_items", control(0x40, 0, 0, 0) + "0605202407080912345678901234");
    seed("stamps", "invalid_stamps", control(0x40, 0, 0, 0) +
                                         "32052024070809  ,06131970070809  ,0605202424600x  ");
    seed("stamps", "short_items", control(0x40, 0, 0, 0) + "0605202407080   ,060520240708,0");
    seed("stamps", "busy", control(0x41, 5, 5, 5) + stamps);
    seed("stamps", "firmware_kt100_apli",
         control(0, 0, 0, 0) +
             buildTermRequest(request("0001", "KT-100", "B1.00", "A1.99", stamps, 4)));
    seed("stamps", "firmware_kt200_boot",
         control(0, 0, 0, 0) +
             buildTermRequest(request("0002", "KT-200", "B9.98", "A1", stamps, 1)));
    seed("stamps", "initial_settings_new_terminal",
         control(0x02, 0, 0, 0) +
             buildTermRequest(request("ERROR", "KT-300", "B1", "A1", QByteArray(), 4)));
    seed("stamps", "terminal_0002_user_missing",
         control(0, 0, 0, 0) +
             buildTermRequest(request("0002", "KT-300", "B1", "A1", stamps, 2)));

    // ---- firmware headers
    seed("firmware", "version_crlf", srecord("V3.01"));
    seed("firmware", "version_lf", srecord("V3.01", "\n"));
    seed("firmware", "version_ten_bytes", srecord("ABCDEFGHIJ"));
    seed("firmware", "version_katakana", srecord("\xB1\xB2\xB3"));
    seed("firmware", "no_line_end", srecord("V1").left(60));
    seed("firmware", "line_57", srecord("V1").left(57) + "\r\n");
    seed("firmware", "not_hex", "S0" + QByteArray(36, '0') + "ZZ3G0Q3.01XX00000000AB\r\n");
    seed("firmware", "long_line", "S0" + QByteArray(5000, '3') + "\n");
    return 0;
}
