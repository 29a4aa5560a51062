#include "initsettings/NumberTable.h"

#include <algorithm>

CInitialSettingsTable &CInitialSettingsTable::instance()
{
    static CInitialSettingsTable table;
    return table;
}

CInitialSettingsTable::StartResult
CInitialSettingsTable::start(const InitRange &range,
                             const std::vector<std::int64_t> &registerNumbers, int terminalCount)
{
    const std::int64_t first = range.firstNumber();
    const std::int64_t last = range.lastNumber();
    // Counted per register row, so an ID held twice counts twice (its
    // numbers all the same are marked once).
    int inRange = 0;
    std::vector<Entry> entries(static_cast<std::size_t>(std::max(range.setRange(), 0)));
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i].number = range.suffixValue() + static_cast<int>(i);
    for (const std::int64_t n : registerNumbers) {
        if (n < first || n > last)
            continue;
        ++inRange;
        entries[static_cast<std::size_t>(n - first)].used = true;
    }
    StartResult r;
    r.terminalCount = terminalCount;
    r.freeCount = range.setRange() - inRange;
    r.started = terminalCount < MaxTerminals && r.freeCount > 0 && !entries.empty();

    std::lock_guard guard(m_lock);
    if (!r.started) {
        m_running = false;
        m_entries.clear();
        m_terminalCount = m_freeCount = 0;
        return r;
    }
    m_range = range;
    m_entries = std::move(entries);
    m_terminalCount = r.terminalCount;
    m_freeCount = r.freeCount;
    m_running = true;
    return r;
}

void CInitialSettingsTable::stop()
{
    std::lock_guard guard(m_lock);
    for (Entry &e : m_entries)
        e.used = false;
    m_terminalCount = m_freeCount = 0;
    m_running = false;
}

bool CInitialSettingsTable::running() const
{
    std::lock_guard guard(m_lock);
    return m_running;
}

std::optional<QString> CInitialSettingsTable::assign()
{
    std::lock_guard guard(m_lock);
    if (!m_running)
        return std::nullopt;
    for (Entry &e : m_entries) {
        if (!e.used) {
            e.used = true;
            ++m_terminalCount;
            --m_freeCount;
            return m_range.termIdFor(e.number);
        }
        if (m_freeCount <= 0 || m_terminalCount >= MaxTerminals)
            return std::nullopt;
    }
    return std::nullopt;
}

int CInitialSettingsTable::freeCount() const
{
    std::lock_guard guard(m_lock);
    return m_freeCount;
}

int CInitialSettingsTable::terminalCount() const
{
    std::lock_guard guard(m_lock);
    return m_terminalCount;
}

std::vector<int> CInitialSettingsTable::usedNumbers() const
{
    std::lock_guard guard(m_lock);
    std::vector<int> out;
    for (const Entry &e : m_entries)
        if (e.used)
            out.push_back(e.number);
    return out;
}
