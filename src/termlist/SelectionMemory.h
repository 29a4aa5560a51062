#pragma once
// The selection of the terminal list survives a refresh by record number:
// before the list is re-read the selected rows' record numbers and the
// focused row (record number and position) are remembered; after it, the
// rows whose terminals are still listed are selected again.

#include "register/RegisterTypes.h"

#include <cstdint>
#include <utility>
#include <vector>

struct SelectionMemory {
    std::vector<std::int32_t> selectedIds; // from the top
    bool hasFocus = false;
    std::int32_t focusedId = 0;
    int focusedRow = -1;

    bool empty() const { return selectedIds.empty() && !hasFocus; }
};

struct RestoredSelection {
    std::vector<std::pair<int, int>> ranges; // first and last row, inclusive
    int focusRow = -1;                       // -1: no row gets the focus
};

// The rows to select in the new list and the row to focus: the one whose
// record number had the focus, else the row at the remembered position.
RestoredSelection RestoreSelection(const SelectionMemory &memory,
                                   const std::vector<TermEntry> &entries);

// The rows of a view's selection ranges (first and last row, inclusive),
// ascending and each once, however the ranges overlap.
std::vector<int> SelectedRows(std::vector<std::pair<int, int>> ranges);
// Rows (ascending) joined into ranges of neighbours.
std::vector<std::pair<int, int>> RowRanges(const std::vector<int> &rows);
// What a refresh keeps of the selected rows and the focused one
// (currentRow -1: none) of the shown entries.
SelectionMemory RememberSelection(const std::vector<int> &rows, int currentRow,
                                  const std::vector<TermEntry> &entries);
