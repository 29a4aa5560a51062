#include "schedule/ScheduleRunner.h"

#include "comm/CommPayloads.h"
#include "comm/OpLog.h"
#include "common/Ipv4.h"
#include "common/Prompter.h"
#include "common/TerminalPaths.h"
#include "register/TermDatabase.h"
#include "schedule/ScheduleFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Schedule;

namespace
{
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(ScheduleRunner)
};

// At most this many files go to one terminal.
constexpr int MaxFiles = 6;

QString fileNameOf(const QString &path)
{
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

// A file named in the settings: absolute as it is, else below the program folder.
QString localPathOf(const QString &folder, const QString &name)
{
    QString p = name;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::isAbsolutePath(p) ? p : folder + p;
}

// The terminal's own settings file; empty when its ID can't name a file.
RequestFile terminalFile(const QString &folder, TerminalPaths::Kind kind, const QString &termId,
                         const char *remote)
{
    const QString rel = TerminalPaths::relative(kind, termId.trimmed());
    return RequestFile{rel.isEmpty() ? QString() : folder + rel, QString::fromLatin1(remote)};
}

QList<RequestFile> filesFor(const ScheduleSettings &s, const QString &folder,
                            const QString &termId)
{
    QList<RequestFile> files;
    const auto named = [&](std::int32_t flag, const QString &name, int kind = 0) {
        if (flag != 0 && !name.isEmpty())
            files.append(RequestFile{localPathOf(folder, name), fileNameOf(name), true, kind});
    };
    const auto own = [&](std::int32_t flag, TerminalPaths::Kind kind, const char *remote) {
        if (flag != 0)
            files.append(terminalFile(folder, kind, termId, remote));
    };
    switch (s.ProcessKind) {
    case Process::FirmWrite:
        named(s.FirmBootWrite, s.FirmBootFileName, UpdateFileKind::Boot);
        named(s.FirmApplWrite, s.FirmApplFileName, UpdateFileKind::Apli);
        named(s.FirmOtherWrite, s.FirmOtherFileName);
        break;
    case Process::SettingsWrite:
        own(s.SysSetupFileWrite, TerminalPaths::Kind::System, "kel_sys.ini");
        own(s.UserSetupFileWrite, TerminalPaths::Kind::User, "kel_user.ini");
        own(s.DialSetupFileWrite, TerminalPaths::Kind::PhoneBook, "kel_dial.csv");
        for (const QString *name :
             {&s.OtherSetupFile1Name, &s.OtherSetupFile2Name, &s.OtherSetupFile3Name})
            named(s.OtherSetupFileWrite, *name);
        break;
    case Process::SettingsRead:
        own(s.SysSetupFileRead, TerminalPaths::Kind::System, "kel_sys.ini");
        own(s.UserSetupFileRead, TerminalPaths::Kind::User, "kel_user.ini");
        own(s.DialSetupFileRead, TerminalPaths::Kind::PhoneBook, "kel_dial.csv");
        break;
    default:
        break;
    }
    if (files.size() > MaxFiles)
        files.resize(MaxFiles);
    return files;
}

int outcomeOf(int resultCode)
{
    if (resultCode == ResultCode::Success)
        return Outcome::Success;
    if (resultCode == ResultCode::Cancelled)
        return Outcome::Cancelled;
    return Outcome::Error;
}

bool succeededIn(const ScheduleRecord &other, const QString &termId)
{
    if (!other.hasResult)
        return false;
    for (const ScheduleResultTerm &t : other.result.terminals)
        if (t.outcome == Outcome::Success && t.terminal.termId == termId)
            return true;
    return false;
}

} // namespace

std::optional<ScheduleTarget> RegisterTerminalLookup::findByTermId(const QString &termId)
{
    TermRecord r;
    if (termId.isEmpty() || m_db.getByTermId(termId, r) != DbAnswer::Done)
        return std::nullopt;
    return ScheduleTarget{r.TermID, r.IPAddr, r.UserInfo1, r.MachineName};
}

ScheduleRunner::ScheduleRunner(ScheduleBook &book, IScheduleRunnerHost &host,
                               ITerminalLookup &lookup, ThreadId self,
                               std::function<QDateTime()> clock)
    : m_book(book), m_host(host), m_lookup(lookup), m_self(self), m_clock(std::move(clock))
{
}

QDateTime ScheduleRunner::now() const
{
    const QDateTime t = m_clock ? m_clock() : QDateTime::currentDateTime();
    // Due times are compared to the second.
    return QDateTime(t.date(), QTime(t.time().hour(), t.time().minute(), t.time().second()));
}

void ScheduleRunner::open()
{
    m_runs.fill(ScheduleRunState{});
    m_running = false;
    m_runningNumber = 0;
    m_skipped = 0;
    m_closeRequested = false;
    m_results.clear();
    const QDate today = now().date();
    m_book.loadAll();
    for (int n = 1; n <= Count; ++n) {
        ScheduleRecord &r = m_book.at(n);
        if (r.valid)
            if (const auto next = ScheduleTiming::nextStart(r.settings, today))
                r.nextStart = *next;
        refreshRow(n);
    }
    m_cancelClose = ScheduleFiles::readCancelClose(m_book.mngPath());
}

void ScheduleRunner::refreshRow(int number)
{
    const ScheduleRecord &r = m_book.at(number);
    int state = RowState::Waiting;
    if (m_running && m_runningNumber == number)
        state = RowState::Running;
    else if (!r.valid || !r.enabled)
        state = RowState::NotSet;
    else if (r.hasResult && r.result.Status != 0)
        state = r.result.ErrorTermNum > 0 ? RowState::EndedWithError : RowState::Ended;
    m_rowState[std::size_t(number - 1)] = state;
    m_host.rowChanged(number);
}

QString ScheduleRunner::stateText(int number) const
{
    if (m_running && m_runningNumber == number)
        return Tr::tr("実行中");
    return ScheduleTiming::stateText(m_book.at(number));
}

void ScheduleRunner::tick()
{
    if (m_running) {
        int &state = m_rowState[std::size_t(m_runningNumber - 1)];
        state = state == RowState::Running ? RowState::Waiting : RowState::Running;
        m_host.rowChanged(m_runningNumber);
        return;
    }
    const QDateTime t = now();
    for (int n = 1; n <= Count; ++n) {
        const ScheduleRecord &r = m_book.at(n);
        // A schedule whose operation is unknown can't start; it must not hold
        // up the ones behind it.
        if (ScheduleTiming::requestKindOf(r.settings.ProcessKind) == 0)
            continue;
        if (ScheduleTiming::isDue(r, m_runs[std::size_t(n - 1)], m_runs, t)) {
            start(n);
            return;
        }
    }
}

bool ScheduleRunner::start(int number)
{
    ScheduleRecord &r = m_book.at(number);
    const ScheduleSettings &s = r.settings;
    const int kind = ScheduleTiming::requestKindOf(s.ProcessKind);
    if (kind == 0)
        return false;
    const QDateTime begin = now();
    m_running = true;
    m_runningNumber = number;
    m_requestKind = kind;
    m_skipped = 0;
    m_processKind = s.ProcessKind;
    m_results.clear();
    m_closeRequested = false;
    if (s.OperatTiming != Timing::AfterOther) {
        // Without a next start the one just taken must not stay due.
        const auto next = ScheduleTiming::nextStart(s, begin.date().addDays(1));
        r.nextStart = next ? *next : QDateTime();
    }

    const bool chained = s.OperatTiming == Timing::AfterOther && s.OtherSchedule >= 1 &&
                         s.OtherSchedule <= Count;
    const ScheduleRecord *other = chained ? &m_book.at(s.OtherSchedule) : nullptr;
    const QList<ScheduleTarget> &targets = other ? other->targets : r.targets;

    auto request = std::make_unique<RequestPayload>();
    request->progressTarget = m_self;
    m_sent.clear();
    for (ScheduleTarget t : targets) {
        bool skip = other && s.AfterOtherMode == AfterOther::SucceededOnly &&
                    !succeededIn(*other, t.termId);
        if (!skip && t.ipAddress.isEmpty()) {
            if (const auto found = m_lookup.findByTermId(t.termId)) {
                t.ipAddress = found->ipAddress;
                t.macAddress = found->macAddress;
                t.machineName = found->machineName;
            }
        }
        const std::optional<std::uint32_t> address =
            t.ipAddress.isEmpty() ? std::nullopt : Ipv4::parse(t.ipAddress);
        if (skip || !address) {
            m_results.append(ScheduleResultTerm{Outcome::NotExecuted, t});
            ++m_skipped;
            continue;
        }
        TerminalEntry e;
        e.termId = t.termId;
        e.address = *address;
        e.model = t.machineName;
        e.macAddress = t.macAddress;
        e.restart = s.TermReboot != 0;
        e.result = ResultCode::Cancelled;
        e.files = filesFor(s, m_book.folder(), t.termId);
        request->entries.append(e);
        m_sent.append(t);
    }

    m_beginText = ScheduleTiming::minuteText(begin);
    m_timingText = ScheduleTiming::timingText(r);
    OpLog::writeText(QStringLiteral("%1 スケジュール%2実行開始").arg(m_beginText).arg(number));

    if (request->entries.isEmpty()) {
        finish(nullptr);
        return true;
    }
    m_total = int(request->entries.size());
    refreshRow(number);
    m_host.statusChanged(Tr::tr("スケジュール%1を実行中です。").arg(number));
    reportProgress(0, m_total);
    // Without a manager to take it the run ends as if cancelled, like a refusal.
    const auto unsent = std::make_unique<RequestPayload>(*request);
    if (!m_host.post(MakeRequest(m_self, kind, std::move(request))))
        finish(unsent.get());
    return true;
}

void ScheduleRunner::reportProgress(int done, int total)
{
    const int shownDone = done + m_skipped;
    const int shownTotal = total + m_skipped;
    m_host.progressChanged(Tr::tr("%1台／%n台完了", nullptr, shownTotal).arg(shownDone), shownDone,
                           shownTotal);
}

void ScheduleRunner::onProgress(int done, int total)
{
    if (m_running)
        reportProgress(done, total);
}

void ScheduleRunner::onMessage(std::unique_ptr<TaskMessage> message)
{
    if (!m_running || !message)
        return;
    const RequestPayload *request = RequestOf(*message);
    if (!request || request->progressTarget != m_self)
        return;
    const bool completed = message->kind == CompletionKindOf(m_requestKind);
    // A refused request comes back untouched: every terminal still carries
    // the cancelled code, so the run ends as if it had been cancelled.
    const bool refused = message->kind == TaskKind::RequestEnded && request->endFlag == 0;
    if (completed || refused)
        finish(request);
}

void ScheduleRunner::finish(const RequestPayload *request)
{
    const int number = m_runningNumber;
    ScheduleRecord &r = m_book.at(number);
    ScheduleResult result;
    result.ProcessKind = m_processKind;
    result.ScheduleDate = m_timingText;
    result.BeginDate = m_beginText;
    result.Status = 1;
    result.terminals = m_results;
    if (request) {
        for (qsizetype i = 0; i < request->entries.size(); ++i) {
            const TerminalEntry &e = request->entries[i];
            ScheduleTarget t = i < m_sent.size() && m_sent[i].termId == e.termId
                                   ? m_sent[i]
                                   : ScheduleTarget{e.termId, Ipv4::dotted(e.address),
                                                    e.macAddress, e.model};
            const int outcome = outcomeOf(e.result);
            result.SuccessTermNum += outcome == Outcome::Success;
            result.CancelTermCount += outcome == Outcome::Cancelled;
            result.ErrorTermNum += outcome == Outcome::Error;
            result.terminals.append(ScheduleResultTerm{outcome, t});
        }
    }
    ScheduleFiles::writeResult(r.resultPath, result);
    r.result = result;
    r.hasResult = true;

    const QDateTime end = now();
    ScheduleRunState &run = m_runs[std::size_t(number - 1)];
    run.end = end;
    run.endState = result.ErrorTermNum > 0 ? 2 : 1;

    m_running = false;
    m_runningNumber = 0;
    m_sent.clear();
    m_results.clear();
    refreshRow(number);
    OpLog::writeText(
        QStringLiteral("%1 スケジュール%2実行終了").arg(ScheduleTiming::minuteText(end)).arg(number));

    const bool close = m_closeRequested && m_cancelClose;
    m_closeRequested = false;
    m_host.statusChanged(QString());
    m_host.cancelEnabled(true);
    if (close)
        m_host.closeWindow();
}

bool ScheduleRunner::requestClose()
{
    if (!m_running)
        return true;
    if (!m_closeRequested) {
        m_closeRequested = true;
        m_host.cancelEnabled(false);
        m_host.statusChanged(Tr::tr(
            "実行中の処理の完了を待っています。この処理は数分から数十分かかる場合があります。"));
        m_host.post(std::make_unique<TaskMessage>(m_self, TaskKind::Cancel));
    }
    return false;
}

void ScheduleRunner::abandon()
{
    if (!m_running)
        return;
    RequestPayload cancelled;
    for (const ScheduleTarget &t : m_sent) {
        TerminalEntry e;
        e.termId = t.termId;
        e.address = Ipv4::parse(t.ipAddress).value_or(0);
        e.model = t.machineName;
        e.macAddress = t.macAddress;
        e.result = ResultCode::Cancelled;
        cancelled.entries.append(e);
    }
    // Whatever the check box says, the window goes with the program.
    m_closeRequested = false;
    finish(&cancelled);
}

void ScheduleRunner::setCancelClose(bool close)
{
    m_cancelClose = close;
    ScheduleFiles::writeCancelClose(m_book.mngPath(), close);
}

void ScheduleRunner::clearAllResults()
{
    const int answer = AppMessageBox(
        370, 2, Tr::tr("全てのスケジュールの実行結果をクリアします。\nよろしいですか？"),
        Tr::tr("実行結果クリア確認"),
        MsgType::IconQuestion | MsgType::YesNo | MsgType::DefaultSecond);
    if (answer != MsgResult::Yes)
        return;
    for (int n = 1; n <= Count; ++n) {
        ScheduleRecord &r = m_book.at(n);
        ScheduleFiles::deleteFiles(r.settingsPath, r.resultPath, ScheduleFiles::Delete::Result);
        const QDateTime next = r.nextStart;
        m_book.load(n);
        r.nextStart = next;
        refreshRow(n);
    }
}
