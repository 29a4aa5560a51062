#include "initsettings/InitSettingsController.h"

#include "comm/OpLog.h"
#include "comm/ResultCodes.h"
#include "common/ProcessValues.h"
#include "common/Prompter.h"
#include "register/TermDatabase.h"

#include <QCoreApplication>

namespace
{
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(InitSettingsController)
};

QString rangeRefusedText()
{
    return Tr::tr("SIPアドレス範囲外、もしくは登録可能なSIPアドレスがありません。");
}

QString rangeRefusedCaption()
{
    return Tr::tr("SIPアドレス範囲外");
}

constexpr int MaxRegisterRows = 65535;

} // namespace

InitSettingsController::InitSettingsController(CTermDatabase &db, CInitialSettingsTable &table)
    : m_db(db), m_table(table)
{
}

InitRange InitSettingsController::range() const
{
    return InitRange(m_state.startNo, rangeValue());
}

int InitSettingsController::rangeValue() const
{
    return m_state.range.toInt();
}

QString InitSettingsController::countText() const
{
    return Tr::tr("%n件", nullptr, int(m_state.ids.size()));
}

void InitSettingsController::open()
{
    InitInfo info;
    m_state = State{};
    if (m_db.readInitInfo(info) == DbAnswer::Done) {
        m_state.startNo = info.StartNo.trimmed();
        m_state.range = QString::number(info.SetRange);
        m_state.executeEnabled = true;
    }
    // Waiting may still be on from an earlier opening.
    showWaiting(waiting());
    refresh();
    m_state.focus = waiting() ? Focus::End : Focus::Close;
}

void InitSettingsController::refuseRange(unsigned icon)
{
    AppMessageBox(1, 1, rangeRefusedText(), rangeRefusedCaption(), icon);
}

void InitSettingsController::store()
{
    InitInfo info;
    info.StartNo = m_state.startNo;
    info.SetRange = rangeValue();
    // A failed write has been shown under "DB Error"; the range is used
    // as typed until the dialog opens again.
    m_db.writeInitInfo(info);
    m_state.executeEnabled = true;
}

bool InitSettingsController::leaveStartNo(const QString &text)
{
    m_state.focus = Focus::None;
    // Leaving the field unchanged checks nothing, so an old value that the
    // rules would refuse can't hold the focus in the field.
    if (text == m_state.startNo)
        return true;
    if (!InitRange::isDigits(text) || text.size() > InitRangeRules::MaxStartNoLength) {
        m_state.focus = Focus::StartNo;
        return false;
    }
    const QString startNo = InitRange::withoutLeadingZeros(text);
    if (!InitRange::fits(startNo, rangeValue())) {
        refuseRange(MsgType::IconError);
        return true;
    }
    const bool changed = startNo != m_state.startNo;
    m_state.startNo = startNo;
    if (m_state.range != QLatin1String("0") && changed)
        store();
    refresh();
    return true;
}

bool InitSettingsController::leaveRange(const QString &text)
{
    m_state.focus = Focus::None;
    if (text == m_state.range)
        return true;
    const int value = InitRange::parseRange(text);
    if (value < 0) {
        m_state.focus = Focus::Range;
        return false;
    }
    if (!InitRange::fits(m_state.startNo, value)) {
        refuseRange(MsgType::IconWarning);
        return true;
    }
    const QString range = QString::number(value);
    const bool changed = range != m_state.range;
    m_state.range = range;
    if (changed)
        store();
    refresh();
    return true;
}

void InitSettingsController::showWaiting(bool on)
{
    // The dialog runs as a menu command, which keeps the operator-busy flag
    // set, and the communication side answers every terminal request with
    // "busy" while it is set. Waiting hands the program over to the new
    // terminals: the administrator can do nothing but end it, so the flag
    // is down while waiting and up again when waiting ends.
    if (on)
        ProcessValues::operatorBusy.fetch_and(~1u);
    else if (m_state.endEnabled)
        ProcessValues::operatorBusy.fetch_or(1u);
    m_state.endEnabled = on;
    m_state.closeEnabled = !on;
    m_state.fieldsEnabled = !on;
    if (on)
        m_state.executeEnabled = false;
    else
        m_state.executeEnabled = rangeValue() > 0;
}

void InitSettingsController::execute()
{
    m_state.focus = Focus::None;
    if (waiting())
        return;
    const InitRange r = range();
    // One slot per register row; rows whose ID gives no number stay -1.
    std::vector<std::int64_t> numbers(MaxRegisterRows, -1);
    int rows = 0;
    const int answer = m_db.allTermIdNumbers(&numbers, &rows);
    if (answer != DbAnswer::Done && answer != DbAnswer::NoRow)
        return; // the database error has been shown
    numbers.resize(static_cast<std::size_t>(rows));
    const CInitialSettingsTable::StartResult started = r.setRange() > 0 && r.fits()
                                                           ? m_table.start(r, numbers, rows)
                                                           : CInitialSettingsTable::StartResult{};
    if (!started.started) {
        refuseRange(MsgType::IconWarning);
        OpLog::writeError(ErrLog::NoFreeSipAddress, QString());
        return;
    }
    showWaiting(true);
    m_state.focus = Focus::End;
    OpLog::writeOperation(LogRecord{QString(), OpeLog::InitialSettings, -1, 0, {}});
}

void InitSettingsController::end()
{
    m_table.stop();
    showWaiting(false);
    m_state.focus = Focus::Execute;
    OpLog::writeOperation(LogRecord{QString(), OpeLog::InitialSettingsEnd, -1, 0, {}});
}

void InitSettingsController::refresh()
{
    m_state.focus = Focus::None;
    m_state.ids.clear();
    QStringList stored;
    if (rangeValue() > 0 && !m_state.startNo.isEmpty() &&
        m_db.termIdsInRange(m_state.startNo, rangeValue(), &stored) == DbAnswer::Done) {
        for (const QString &id : stored) {
            if (m_state.ids.size() >= MaxListed)
                break;
            m_state.ids.append(id.trimmed());
        }
    }
    if (waiting() && m_state.ids.size() == rangeValue()) {
        refuseRange(MsgType::IconWarning);
        m_table.stop();
        showWaiting(false);
    }
}
