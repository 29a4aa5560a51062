// A terminal-initiated request as the update decision sees it: the 50-byte
// field with its three stamp items, the stamps' validity and comparison with
// the PC's files, the registered firmware, busy and initial-settings mode.
// Runs against a program folder laid out once:
//   terminal 0001 has all three settings files, 0002 only the system one;
//   the common files kel_sys.ini and kel_user.ini lie beside them;
//   firmware is registered for KT-100 (B1.00, A2.00) and KT-200 (B9.99,
//   its application file is missing).
//
// Input: a flags byte (bit 0 busy, bit 1 initial-settings mode, bits 4..7
// the file selection of a short request), three 32-bit offsets in seconds
// of the 0001 files' last-write times from 2024-05-06 07:08:09, then either
// a whole TermRequest datagram or, when the rest does not read as one, the
// 50-byte field of a request from 0001 (KT-100, B1.00, A2.00).
#include "FuzzSupport.h"

#include "comm/CommPayloads.h"
#include "comm/UdpMessages.h"
#include "comm/UpdateDecider.h"
#include "common/ProcessValues.h"
#include "common/TerminalPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>

namespace
{

const QDateTime Base(QDate(2024, 5, 6), QTime(7, 8, 9));

QByteArray srecord(const QByteArray &version)
{
    return "S0" + QByteArray(36, '0') + version.toHex().toUpper().leftJustified(20, '0') +
           "AB\r\nS113\r\n";
}

struct Folder {
    // In memory where the system offers it: every run sets three files'
    // times and the decision looks at several files.
    QTemporaryDir dir{QDir(QStringLiteral("/dev/shm")).exists()
                          ? QStringLiteral("/dev/shm/kel-fuzz-stamps-XXXXXX")
                          : QDir::tempPath() + QStringLiteral("/kel-fuzz-stamps-XXXXXX")};
    QString root;
    Folder()
    {
        root = dir.path() + QLatin1Char('/');
        ProcessValues::setProgramFolder(root);
        for (const char *sub : {"Data/Sys", "Data/User", "Data/Dial", "Config", "Boot", "Apli"})
            QDir(root).mkpath(QLatin1String(sub));
        write("Data/Sys/kel_sys0001.ini", "[S]\r\n");
        write("Data/User/kel_user0001.ini", "[U]\r\n");
        write("Data/Dial/kel_dial0001.csv", "1,2\r\n");
        write("Data/Sys/kel_sys0002.ini", "[S]\r\n");
        write("Data/Sys/kel_sys.ini", "[Common]\r\n");
        write("Data/User/kel_user.ini", "[Common]\r\n");
        write("Config/FirmFilePath.ini", "[Firm1]\r\nModelType=KT-100\r\nBootFilePath=Boot/KT100B.s\r\n"
                                         "ApliFilePath=Apli/KT100A.s\r\n[Firm2]\r\nModelType=KT-200\r\n"
                                         "BootFilePath=Boot\\KT200B.s\r\nApliFilePath=Apli\\none.s\r\n");
        write("Boot/KT100B.s", srecord("B1.00"));
        write("Apli/KT100A.s", srecord("A2.00"));
        write("Boot/KT200B.s", srecord("B9.99"));
    }
    void write(const char *rel, const QByteArray &bytes)
    {
        QFile f(root + QLatin1String(rel));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
    }
};

Folder &folder()
{
    static Folder f;
    return f;
}

void setLastWrite(const QString &path, const QDateTime &t)
{
    timespec times[2];
    times[0].tv_sec = times[1].tv_sec = time_t(t.toSecsSinceEpoch());
    times[0].tv_nsec = times[1].tv_nsec = 0;
    if (::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) != 0)
        std::abort();
}

QString stampText(const CAutoUpdateDecider::Stamp &s)
{
    return QString::asprintf("%02d%02d%04d%02d%02d%02d", s.day, s.month, s.year, s.hour, s.minute,
                             s.second);
}

// The stamp reader on one item: a valid stamp writes back as the item's
// first 14 characters; a refused one has a reason.
void checkStamp(const QByteArray &item, const QDateTime &t)
{
    const auto s = CAutoUpdateDecider::parseStamp(item);
    const QString head = QString::fromLatin1(item.left(14));
    if (s) {
        FUZZ_CHECK(stampText(*s) == head, head);
        FUZZ_CHECK(s->year >= 1971 && s->month >= 1 && s->month <= 12 && s->day >= 1 &&
                       s->day <= 31 && s->hour <= 23 && s->minute <= 59 && s->second <= 59,
                   head);
        // Later than the stamp, to the second: the digits compare in
        // year-month-day-hour-minute-second order.
        const QString ordered = QString::asprintf("%04d%02d%02d%02d%02d%02d", s->year, s->month,
                                                  s->day, s->hour, s->minute, s->second);
        FUZZ_CHECK(CAutoUpdateDecider::laterThan(t, *s) ==
                       (t.toString(QStringLiteral("yyyyMMddHHmmss")) > ordered),
                   head + QLatin1Char(' ') + t.toString(Qt::ISODate));
        return;
    }
    bool digits = item.size() >= 14;
    for (int i = 0; digits && i < 14; ++i)
        digits = item[i] >= '0' && item[i] <= '9';
    if (!digits)
        return;
    auto num = [&](int at, int n) { return item.mid(at, n).toInt(); };
    const bool inRange = num(4, 4) >= 1971 && num(2, 2) >= 1 && num(2, 2) <= 12 &&
                         num(0, 2) >= 1 && num(0, 2) <= 31 && num(8, 2) <= 23 &&
                         num(10, 2) <= 59 && num(12, 2) <= 59;
    FUZZ_CHECK(!inRange, head);
}

// The firmware the fixture's registrations call for.
QList<int> expectedFirmware(const Udp::TermNotify &n)
{
    QList<int> kinds;
    if (n.machineName == QLatin1String("KT-100")) {
        if (n.verBoot.left(10) != QLatin1String("B1.00"))
            kinds << UpdateFileKind::Boot;
        if (n.verApli.left(10) != QLatin1String("A2.00"))
            kinds << UpdateFileKind::Apli;
    } else if (n.machineName == QLatin1String("KT-200") &&
               n.verBoot.left(10) != QLatin1String("B9.99")) {
        kinds << UpdateFileKind::Boot;
    }
    return kinds;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Folder &f = folder();
    FuzzInput in(data, size);
    const std::uint8_t flags = in.byte();
    const bool busy = flags & 1;
    const bool initialMode = flags & 2;
    std::array<QDateTime, 3> times;
    const std::array<QString, 3> files{f.root + QLatin1String("Data/Sys/kel_sys0001.ini"),
                                       f.root + QLatin1String("Data/User/kel_user0001.ini"),
                                       f.root + QLatin1String("Data/Dial/kel_dial0001.csv")};
    for (int i = 0; i < 3; ++i) {
        times[i] = Base.addSecs(in.i32());
        setLastWrite(files[i], times[i]);
    }
    const QByteArray rest = in.rest();

    TermRequestPayload r;
    if (const auto parsed = Udp::parseTermRequest(rest)) {
        r.request = parsed.value;
    } else {
        r.request.notify.termId = QStringLiteral("0001");
        r.request.notify.machineName = QStringLiteral("KT-100");
        r.request.notify.verBoot = QStringLiteral("B1.00");
        r.request.notify.verApli = QStringLiteral("A2.00");
        r.request.fileSelect = flags >> 4;
        r.request.stampField = rest.left(50); // as the reader takes it: NUL bytes and all
    }
    const auto items = r.request.stamps();
    for (int i = 0; i < 3; ++i)
        checkStamp(items[i], times[i]);

    CAutoUpdateDecider decider;
    decider.initialSettingsMode = [initialMode] { return initialMode; };
    decider.decide(r, busy);

    const auto detail = [&] { return QString::fromLatin1(rest.left(80).toHex()); };
    if (busy) {
        FUZZ_CHECK(r.decision == UpdateDecision::Busy && r.files.isEmpty(), detail());
        return 0;
    }
    const QString id = r.request.notify.termId.trimmed();
    const QList<int> firmware = expectedFirmware(r.request.notify);
    int last = 0;
    bool initial = false;
    QList<int> firmwareSent;
    for (const UpdateFile &u : r.files) {
        FUZZ_CHECK(u.kind > last && u.kind <= UpdateFileKind::PhoneBook, detail());
        last = u.kind;
        if (u.kind <= UpdateFileKind::Apli) {
            firmwareSent << u.kind;
            continue;
        }
        FUZZ_CHECK(firmware.isEmpty(), detail());
        // Only the terminal's own file, inside the program folder; for
        // initial settings the file to be made, if the ID names one.
        const auto kind = TerminalPaths::Kind(u.kind - UpdateFileKind::System);
        const QString own = TerminalPaths::absolute(kind, id);
        const QString where = u.localPath + QLatin1String(" for ID ") + id;
        if (u.stamp.isEmpty()) {
            FUZZ_CHECK(u.kind == UpdateFileKind::System && initialMode && u.localPath == own &&
                           !QFileInfo::exists(own),
                       where);
            initial = true;
            continue;
        }
        FUZZ_CHECK(!own.isEmpty() && u.localPath == own &&
                       TerminalPaths::isInside(u.localPath, f.root),
                   where);
        const QFileInfo pc(u.localPath);
        FUZZ_CHECK(pc.exists() && u.stamp == pc.lastModified().toString(QStringLiteral("ddMMyyyyHHmmss")) &&
                       u.sizeText.size() == 12,
                   u.localPath);
        const int i = u.kind - UpdateFileKind::System;
        const int select = r.request.fileSelect;
        FUZZ_CHECK(select == i + 1 || select == Udp::FileSelect::All, detail());
        if (const auto s = CAutoUpdateDecider::parseStamp(items[i]))
            FUZZ_CHECK(CAutoUpdateDecider::laterThan(pc.lastModified(), *s), detail());
    }
    FUZZ_CHECK(firmwareSent == firmware, detail());
    if (initial)
        FUZZ_CHECK(r.decision == UpdateDecision::InitialSettings, detail());
    else if (!r.files.isEmpty())
        FUZZ_CHECK(r.decision == UpdateDecision::FilesToSend, detail());
    else
        FUZZ_CHECK(r.decision == UpdateDecision::UpToDate ||
                       r.decision == UpdateDecision::NothingToSend,
                   detail());
    return 0;
}
