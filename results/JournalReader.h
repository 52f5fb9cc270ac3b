// Reads a results journal back for the report. Whatever the file holds, each row is either
// taken whole or left out with a line that says where and why; nothing in it can crash the
// reader. Columns are found by their header names, so a journal with columns added later
// still reads; a file without a `time` or `corwith` column is not a journal.
#pragma once

#include "results/JournalRow.h"

#include <string>
#include <string_view>
#include <vector>

namespace vorn {

struct JournalProblem {
    size_t line;       // where the row begins, from 1
    std::string text;  // why it was left out
};

struct JournalContents {
    std::vector<JournalRow> rows;
    std::vector<JournalProblem> problems;
    bool isJournal = false;  // false: no journal header; rows is empty
};

JournalContents ReadJournal(std::string_view text);

}  // namespace vorn
