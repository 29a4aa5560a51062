#include "termlist/SelectionMemory.h"

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
