#include "termlist/SelectionMemory.h"

#include <algorithm>
#include <unordered_set>

RestoredSelection RestoreSelection(const SelectionMemory &memory,
                                   const std::vector<TermEntry> &entries)
{
    RestoredSelection out;
    const int rows = static_cast<int>(entries.size());
    if (!memory.selectedIds.empty()) {
        const std::unordered_set<std::int32_t> ids(memory.selectedIds.begin(),
                                                   memory.selectedIds.end());
        int start = -1;
        for (int row = 0; row < rows; ++row) {
            const bool selected = ids.count(entries[row].ID) != 0;
            if (selected && start < 0)
                start = row;
            if (!selected && start >= 0) {
                out.ranges.emplace_back(start, row - 1);
                start = -1;
            }
        }
        if (start >= 0)
            out.ranges.emplace_back(start, rows - 1);
    }
    if (memory.hasFocus) {
        for (int row = 0; row < rows; ++row) {
            if (entries[row].ID == memory.focusedId) {
                out.focusRow = row;
                break;
            }
        }
    }
    if (out.focusRow < 0 && memory.focusedRow >= 0 && memory.focusedRow < rows)
        out.focusRow = memory.focusedRow;
    return out;
}

std::vector<int> SelectedRows(std::vector<std::pair<int, int>> ranges)
{
    std::sort(ranges.begin(), ranges.end());
    std::vector<int> rows;
    int last = -1;
    for (const auto &[top, bottom] : ranges) {
        for (int row = std::max(top, last + 1); row <= bottom; ++row)
            rows.push_back(row);
        last = std::max(last, bottom);
    }
    return rows;
}

std::vector<std::pair<int, int>> RowRanges(const std::vector<int> &rows)
{
    std::vector<std::pair<int, int>> out;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        out.emplace_back(rows[i], rows[j]);
        i = j + 1;
    }
    return out;
}

SelectionMemory RememberSelection(const std::vector<int> &rows, int currentRow,
                                  const std::vector<TermEntry> &entries)
{
    SelectionMemory memory;
    const int count = static_cast<int>(entries.size());
    for (int row : rows)
        if (row >= 0 && row < count)
            memory.selectedIds.push_back(entries[std::size_t(row)].ID);
    if (currentRow >= 0 && currentRow < count) {
        memory.hasFocus = true;
        memory.focusedId = entries[std::size_t(currentRow)].ID;
        memory.focusedRow = currentRow;
    }
    return memory;
}
