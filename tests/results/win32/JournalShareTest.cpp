// The journal against another program holding it open without write sharing, as
// spreadsheet programs hold the files they show.
#include "results/Journal.h"
#include "results/JournalReader.h"
#include "results/TextFile.h"

#include "../ResultsTestRows.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace vorn {
namespace {

std::vector<float> Values(const std::string& path) {
    std::string text;
    ReadWholeFile(path, text);
    std::vector<float> values;
    for (const JournalRow& r : ReadJournal(text).rows) values.push_back(*r.corwith);
    return values;
}

TEST(JournalShareTest, ALockedJournalLosesNoRowAndKeepsTheOrder) {
    test::ScratchFolder folder("journal-share");
    Journal journal(folder.File("Results.csv"));
    ASSERT_EQ(journal.Append(test::MakeRow("2026-12-07T10:15:02+01:00", 1.0f)), Journal::Outcome::Written);
    HANDLE held = CreateFileA(journal.Path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(journal.Append(test::MakeRow("2026-12-07T10:16:02+01:00", 1.25f)), Journal::Outcome::Pending);
    EXPECT_EQ(journal.Append(test::MakeRow("2026-12-07T10:17:02+01:00", 1.5f)), Journal::Outcome::Pending);
    EXPECT_TRUE(journal.TakeWarning());
    EXPECT_FALSE(journal.TakeWarning());
    CloseHandle(held);
    EXPECT_EQ(journal.Append(test::MakeRow("2026-12-07T10:18:02+01:00", 1.75f)), Journal::Outcome::Written);
    EXPECT_EQ(Values(journal.Path()), (std::vector<float>{1.0f, 1.25f, 1.5f, 1.75f}));
    EXPECT_EQ(GetFileAttributesA(journal.PendingPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace vorn
