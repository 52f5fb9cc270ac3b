#include "app/ResultsKeeper.h"

#include "results/JournalReader.h"
#include "results/TextFile.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace vorn {
namespace {

namespace fs = std::filesystem;

struct ResultsKeeperTest : testing::Test {
    void SetUp() override {
        std::snprintf(settings.OutputFolder, sizeof settings.OutputFolder, "%s", folder.Path().c_str());
        settings.KeepResults = true;
        settings.HistoryKeepWaves = 100;
        settings.TestDuration = 10;
        settings.CorwithLimitHigh = 2.0f;
        fs::create_directories(folder.path / "Output");
        for (const char* wave : {"Test1.wav", "Test2.wav", "Merged.wav"})
            std::ofstream(folder.path / "Output" / wave, std::ios::binary) << wave;
    }
    JournalContents Journal() {
        std::string text;
        ReadWholeFile((folder.path / "Output" / "Results.csv").string(), text);
        return ReadJournal(text);
    }

    test::ScratchFolder folder{"keeper"};
    TestSettings settings;
    std::string stimulus = "C:\\Stimuli\\a, b.wav";
    ResultsKeeper keeper{settings, stimulus};
};

TEST_F(ResultsKeeperTest, EachOutcomeIsOneRowAndATestItsArchive) {
    keeper.Record({kOutcomeOk, 94.5f, 88.25f, 1.5f, Verdict::Pass, {{200, -3, 45}}});
    keeper.Record({"Capture failed - no valid answer from the analyzer", 94.5f, std::nullopt, std::nullopt,
                   Verdict::None, {}});
    const JournalContents j = Journal();
    ASSERT_EQ(j.rows.size(), 2u);
    EXPECT_EQ(j.rows[0].stimulus, stimulus);
    EXPECT_EQ(j.rows[0].corwith, 1.5f);
    EXPECT_EQ(j.rows[0].verdict, "pass");
    EXPECT_EQ(j.rows[0].limitHigh, 2.0f);
    EXPECT_FALSE(j.rows[0].limitLow);
    EXPECT_EQ(j.rows[0].openSpl, 88.25f);
    const fs::path archive = folder.path / "Output" / ArchiveFolder(j.rows[0]);
    EXPECT_TRUE(fs::exists(archive / "Merged.wav"));
    EXPECT_TRUE(fs::exists(archive / "Spectrum.csv"));
    EXPECT_EQ(j.rows[1].status, "Capture failed - no valid answer from the analyzer");
    EXPECT_FALSE(j.rows[1].openSpl);
    EXPECT_EQ(j.rows[1].archive, "");
}

TEST_F(ResultsKeeperTest, KeepResultsOffLeavesNoFile) {
    settings.KeepResults = false;
    keeper.Record({kOutcomeOk, 94.5f, 88.25f, 1.5f, Verdict::Pass, {}});
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path / "Output"), {}), 3);
}

}  // namespace
}  // namespace vorn
