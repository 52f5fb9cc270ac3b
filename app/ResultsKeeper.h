// Keeps what each test left: a row in <OutputFolder>\Output\Results.csv and, for a test
// that reached its Corwith Number, its archive folder below Output\History. With
// KeepResults off it keeps nothing. A journal that cannot be written is told to the
// operator once, after the test, and its rows wait in the pending file; the archive's
// troubles are noted in the row and never change the test's result.
#pragma once

#include "app/TestOutcome.h"
#include "results/Journal.h"
#include "settings/TestSettings.h"

#include <optional>
#include <string>

namespace vorn {

inline constexpr const char* kJournalPendingMessage =
    "The results journal %s cannot be written now (another program may hold it open, or the disk is full). "
    "Its rows wait in %s and move into the journal at the next test that can write it.";
inline constexpr const char* kJournalLostMessage =
    "Neither the results journal %s nor %s can be written: this test's row could not be kept.";

class ResultsKeeper {
public:
    // The main dialog's record and stimulus path, read at each test.
    ResultsKeeper(const TestSettings& settings, const std::string& stimulus);

    void Record(const TestOutcome& outcome);
    // <OutputFolder>\Output\Results.csv as the settings now name it.
    std::string JournalPath() const;

private:
    const TestSettings& settings_;
    const std::string& stimulus_;
    std::optional<Journal> journal_;
};

}  // namespace vorn
