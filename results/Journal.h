// The results journal, Output\Results.csv, written one row at a time. Each row is one
// write, on the disk before Append returns; the file is only ever appended to. When it
// cannot be written (a spreadsheet program holds it open without write sharing, it is
// read-only, the disk is full) the row goes to Results-pending.csv beside it, and the
// pending rows move into the journal, in their order and ahead of the new one, at the
// next append that succeeds.
#pragma once

#include "results/JournalRow.h"

#include <string>

namespace vorn {

class Journal {
public:
    enum class Outcome {
        Written,  // in the journal, with every pending row before it
        Pending,  // in the pending file
        Lost,     // neither file could take it
    };

    explicit Journal(std::string path);

    Outcome Append(const JournalRow& row);
    // True once when the journal has just become unwritable, so the operator is told once
    // per spell and not at every test; again after it has been written since.
    bool TakeWarning();

    const std::string& Path() const { return path; }
    const std::string& PendingPath() const { return pendingPath; }

private:
    std::string path;
    std::string pendingPath;
    bool troubled = false;
    bool warned = false;
};

}  // namespace vorn
