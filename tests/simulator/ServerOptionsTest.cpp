#include "simulator/ServerOptions.h"

#include <gtest/gtest.h>

namespace vorn::sim {
namespace {

std::optional<ServerOptions> Parse(const std::string& line, std::string& error) {
    return ParseServerOptions(SplitCommandLine(line), error);
}

TEST(ServerOptionsTest, DefaultsServeTheAnalyzersServiceWithoutFaults) {
    std::string error;
    const auto options = Parse("", error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->service, "Tonaserv");
    EXPECT_EQ(options->topic, "Data");
    EXPECT_TRUE(options->itemFaults.empty());
    EXPECT_EQ(options->dropAfter, 0);
    EXPECT_EQ(options->exitAfter, 0);
    EXPECT_FALSE(options->registerOnly);
}

TEST(ServerOptionsTest, FaultModesAreReadPerItem) {
    std::string error;
    const auto options = Parse(
        "--silent \"Total Power\" --late \"Current Time\" --late-ms 1500 --empty \"Delay Finder\" "
        "--garbage \"Marked Phase\" --garbage-length 300 --refuse [Record] --drop-after 3 "
        "--exit-after 9 --speed 20 --service S1 --log \"C:\\a b\\log.txt\" --hidden /register",
        error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->itemFaults.at("Total Power"), ReplyFault::Silent);
    EXPECT_EQ(options->itemFaults.at("Current Time"), ReplyFault::Late);
    EXPECT_EQ(options->itemFaults.at("Delay Finder"), ReplyFault::Empty);
    EXPECT_EQ(options->itemFaults.at("Marked Phase"), ReplyFault::Garbage);
    EXPECT_EQ(options->lateMs, 1500);
    EXPECT_EQ(options->garbageLength, 300);
    ASSERT_EQ(options->refusedCommands.size(), 1u);
    EXPECT_EQ(options->refusedCommands[0], "[Record]");
    EXPECT_EQ(options->dropAfter, 3);
    EXPECT_EQ(options->exitAfter, 9);
    EXPECT_DOUBLE_EQ(options->speed, 20.0);
    EXPECT_EQ(options->service, "S1");
    EXPECT_EQ(options->logFile, "C:\\a b\\log.txt");
    EXPECT_TRUE(options->hidden);
    EXPECT_TRUE(options->registerOnly);
}

TEST(ServerOptionsTest, BadOptionsAreReportedNotGuessed) {
    for (const char* line : {"--bogus", "--service", "--service \"\"", "--speed fast", "--speed 0",
                             "--drop-after -1", "--drop-after 2x", "--late-ms", "--garbage-length 0"}) {
        std::string error;
        EXPECT_FALSE(Parse(line, error)) << line;
        EXPECT_FALSE(error.empty()) << line;
    }
}

TEST(ServerOptionsTest, CommandLinesSplitLikeWindowsDoes) {
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\sim.exe\"  --log  \"a \\\"b\\\"\" x"),
              (std::vector<std::string>{"C:\\Program Files\\sim.exe", "--log", "a \"b\"", "x"}));
    EXPECT_EQ(SplitCommandLine("a \"\" b"), (std::vector<std::string>{"a", "", "b"}));
}

TEST(ServerOptionsTest, GarbageIsTheAlphabetOverAndOver) {
    EXPECT_EQ(GarbageText(0), "");
    EXPECT_EQ(GarbageText(28), "ABCDEFGHIJKLMNOPQRSTUVWXYZAB");
}

}  // namespace
}  // namespace vorn::sim
