#include "results/Journal.h"
#include "results/JournalReader.h"
#include "results/TextFile.h"

#include "ResultsTestRows.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace vorn {
namespace {

using test::MakeRow;

std::string Contents(const std::string& path) {
    std::string text;
    ReadWholeFile(path, text);
    return text;
}

std::vector<float> Values(const std::string& path) {
    std::vector<float> values;
    for (const JournalRow& r : ReadJournal(Contents(path)).rows) values.push_back(*r.corwith);
    return values;
}

TEST(JournalTest, RowsReadBackAsWrittenUnderOneHeader) {
    test::ScratchFolder folder("journal");
    Journal journal(folder.File("Results.csv"));
    JournalRow odd = MakeRow("2026-12-07T10:15:02+01:00", 1.2345678f, "C:\\Stimuli\\a \"quoted\", b\r\nc é.wav");
    JournalRow step = MakeRow("2026-12-07T10:16:02+01:00", 0);
    step.status = "Capture Open Data failed";
    step.corwith.reset();
    step.openSpl.reset();
    step.verdict.clear();
    step.archive = "History\\2026-12-07_10-16-02 (Merged.wav missing)";
    EXPECT_EQ(journal.Append(odd), Journal::Outcome::Written);
    EXPECT_EQ(journal.Append(step), Journal::Outcome::Written);
    const std::string text = Contents(journal.Path());
    EXPECT_EQ(text.rfind(JournalHeader(), 0), 0u);
    EXPECT_EQ(text.find("time,", 10), std::string::npos) << "one header only";
    const JournalContents back = ReadJournal(text);
    ASSERT_EQ(back.rows.size(), 2u);
    EXPECT_TRUE(back.problems.empty());
    EXPECT_EQ(JournalLine(back.rows[0]), JournalLine(odd));
    EXPECT_EQ(JournalLine(back.rows[1]), JournalLine(step));
    EXPECT_EQ(ArchiveFolder(back.rows[1]), "History\\2026-12-07_10-16-02");
    EXPECT_FALSE(std::filesystem::exists(journal.PendingPath()));
}

TEST(JournalTest, ARowCutOffByACrashStaysAloneAndLaterRowsAreWhole) {
    test::ScratchFolder folder("journal");
    Journal journal(folder.File("Results.csv"));
    journal.Append(MakeRow("2026-12-07T10:15:02+01:00", 1.5f));
    std::ofstream(journal.Path(), std::ios::binary | std::ios::app) << "2026-12-07T10:16:02+01:00,BENCH-1,\"C:\\half";
    journal.Append(MakeRow("2026-12-07T10:17:02+01:00", 1.75f));
    const JournalContents back = ReadJournal(Contents(journal.Path()));
    EXPECT_EQ(Values(journal.Path()), (std::vector<float>{1.5f, 1.75f}));
    ASSERT_EQ(back.problems.size(), 1u);
    EXPECT_EQ(back.problems[0].line, 3u);
}

TEST(JournalTest, AnUnwritableJournalSendsRowsToThePendingFileAndTheyMoveBackInOrder) {
    test::ScratchFolder folder("journal");
    Journal journal(folder.File("Results.csv"));
    namespace fs = std::filesystem;
    journal.Append(MakeRow("2026-12-07T10:15:02+01:00", 1.0f));
    fs::permissions(journal.Path(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(journal.Append(MakeRow("2026-12-07T10:16:02+01:00", 1.25f)), Journal::Outcome::Pending);
    EXPECT_TRUE(journal.TakeWarning());
    EXPECT_EQ(journal.Append(MakeRow("2026-12-07T10:17:02+01:00", 1.5f)), Journal::Outcome::Pending);
    EXPECT_FALSE(journal.TakeWarning()) << "the operator is told once";
    EXPECT_EQ(Values(journal.PendingPath()), (std::vector<float>{1.25f, 1.5f}));

    fs::permissions(journal.Path(), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(journal.Append(MakeRow("2026-12-07T10:18:02+01:00", 1.75f)), Journal::Outcome::Written);
    EXPECT_EQ(Values(journal.Path()), (std::vector<float>{1.0f, 1.25f, 1.5f, 1.75f}));
    EXPECT_FALSE(fs::exists(journal.PendingPath()));
    EXPECT_FALSE(journal.TakeWarning());
}

}  // namespace
}  // namespace vorn
