#include "results/TestArchive.h"
#include "results/TextFile.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace vorn {
namespace {

namespace fs = std::filesystem;

struct TestArchiveTest : testing::Test {
    test::ScratchFolder output{"archive"};

    void WriteWaves(const std::string& content) {
        for (const char* wave : TestArchive::kWaves)
            std::ofstream(output.File(wave), std::ios::binary) << content << wave;
    }
    std::string Read(const fs::path& path) {
        std::string text;
        ReadWholeFile(path.string(), text);
        return text;
    }
};

TEST_F(TestArchiveTest, EachTestGetsItsOwnFolderWithExactCopiesAndItsSpectrum) {
    TestArchive archive(output.Path(), 100);
    const std::vector<SpectrumPoint> spectrum = {{200.0f, -3.25f, 45.5f}, {212.5f, -4.0000005f, -170.125f}};
    WriteWaves("first");
    const ArchiveResult first = archive.Keep("2026-12-07_10-15-02", spectrum);
    WriteWaves("second");
    const ArchiveResult second = archive.Keep("2026-12-07_10-15-02", spectrum);
    const ArchiveResult third = archive.Keep("2026-12-07_10-15-02", {});
    EXPECT_TRUE(first.note.empty()) << first.note;
    EXPECT_EQ(fs::path(first.folder), fs::path("History") / "2026-12-07_10-15-02");
    EXPECT_EQ(fs::path(second.folder), fs::path("History") / "2026-12-07_10-15-02-2");
    EXPECT_EQ(fs::path(third.folder), fs::path("History") / "2026-12-07_10-15-02-3");
    for (const char* wave : TestArchive::kWaves) {
        EXPECT_EQ(Read(output.path / first.folder / wave), std::string("first") + wave);
        EXPECT_EQ(Read(output.path / second.folder / wave), std::string("second") + wave);
    }
    const std::string text = Read(output.path / first.folder / TestArchive::kSpectrum);
    EXPECT_EQ(text, SpectrumText(spectrum));
    const std::vector<SpectrumPoint> back = ReadSpectrum(text);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[1].level, -4.0000005f);
    EXPECT_EQ(back[1].phase, -170.125f);
    // Nothing left behind but the three copies and the spectrum: the temporary files went.
    EXPECT_EQ(std::distance(fs::directory_iterator(output.path / first.folder), {}), 4);
}

TEST_F(TestArchiveTest, AMissingFileIsNotedAndTheRestKept) {
    TestArchive archive(output.Path(), 100);
    WriteWaves("x");
    fs::remove(output.File("Merged.wav"));
    const ArchiveResult r = archive.Keep("2026-12-07_10-15-02", {});
    EXPECT_EQ(r.note, "Merged.wav missing");
    EXPECT_EQ(TestArchive::JournalText(r), r.folder + " (Merged.wav missing)");
    EXPECT_TRUE(fs::exists(output.path / r.folder / "Test2.wav"));
    EXPECT_TRUE(fs::exists(output.path / r.folder / TestArchive::kSpectrum));
}

TEST_F(TestArchiveTest, OnlyTheLatestTestsKeepTheirWavesAndSpectraAllStay) {
    TestArchive archive(output.Path(), 2);
    WriteWaves("x");
    // Made out of order on purpose: -10 comes after -9, and a later stamp after both.
    std::vector<std::string> folders;
    for (int i = 0; i < 11; ++i) folders.push_back(archive.Keep("2026-12-07_10-15-02", {}).folder);
    folders.push_back(archive.Keep("2026-12-07_10-15-03", {}).folder);
    for (size_t i = 0; i < folders.size(); ++i) {
        const bool kept = i >= folders.size() - 2;
        EXPECT_EQ(fs::exists(output.path / folders[i] / "Merged.wav"), kept) << folders[i];
        EXPECT_TRUE(fs::exists(output.path / folders[i] / TestArchive::kSpectrum)) << folders[i];
    }
}

}  // namespace
}  // namespace vorn
