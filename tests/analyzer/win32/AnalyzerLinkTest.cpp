// The DDE link against the substitute analyzer program, started hidden for each test
// under a service name of its own so that parallel runs never reach each other's server.
#include "analyzer/win32/AnalyzerLink.h"

#include "analyzer/AnalyzerCommands.h"
#include "simulator/ServerOptions.h"
#include "support/MessageRecorder.h"
#include "support/TestPaths.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace vorn {
namespace {

double SecondsSince(ULONGLONG startMs) { return (GetTickCount64() - startMs) / 1000.0; }

std::string UniqueName(const char* stem) {
    static int counter = 0;
    return stem + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
}

struct Analyzer {
    explicit Analyzer(const std::string& options = "", const std::string& name = UniqueName("VornSim"))
        : service(name), logFile((std::filesystem::temp_directory_path() / (name + ".log")).string()) {
        std::string line = std::string("\"") + test::kSimulatorExe + "\" --hidden --service " + service +
                           " --log \"" + logFile + "\" " + options;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            CloseHandle(process.hThread);
    }
    ~Analyzer() {
        if (!Exited(0) && TerminateProcess(process.hProcess, 0)) Exited(5000);
        CloseHandle(process.hProcess);
        DeleteFileA(logFile.c_str());
    }
    bool Exited(DWORD waitMs) const { return WaitForSingleObject(process.hProcess, waitMs) == WAIT_OBJECT_0; }
    int LogCount(const std::string& what) const {
        const std::string log = test::ReadWholeFile(logFile);
        int n = 0;
        for (auto at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
        return n;
    }

    const std::string service, logFile;
    PROCESS_INFORMATION process = {};
};

// A link that records its debug lines instead of sending them to the debugger.
struct Client {
    explicit Client(const std::string& service, DWORD timeoutMs = kAnalyzerTimeoutMs) : link(timeoutMs, service) {
        link.SetDebugOutput([this](const char* line) { lines.emplace_back(line); });
    }
    bool Connect() {  // the program starts asynchronously; its window answers once it is up
        const bool linked = test::WaitUntil([this] { return link.Connect(); }, 10000);
        lines.clear();
        return linked;
    }
    bool Send(const std::string& command) { return link.SendCommand(command.c_str()); }
    std::string Request(const char* item, std::size_t capacity = 256) {
        std::vector<char> buffer(capacity, '\0');
        return link.RequestData(item, buffer.data(), capacity) ? buffer.data() : "<failed>";
    }
    void ExpectDebugLines(std::size_t count) const {
        EXPECT_EQ(lines.size(), count);
        for (const auto& l : lines) EXPECT_TRUE(std::regex_match(l, std::regex(R"(DDEML Error code = \d+\r)"))) << l;
    }

    AnalyzerLink link;
    std::vector<std::string> lines;
};

TEST(AnalyzerLinkTest, ConnectsSendsCommandsAndRequestsItems) {
    Analyzer analyzer("--garbage \"Total Power\" --garbage-length 300 --empty \"Delay Finder\"");
    Client client(analyzer.service);
    ASSERT_TRUE(client.Connect());
    ASSERT_TRUE(client.link.Connect());  // closes the first conversation
    EXPECT_TRUE(client.link.Linked());
    EXPECT_TRUE(client.Send(StopCommand()));
    EXPECT_TRUE(client.Send(SetMarker1Command(30.0)));
    EXPECT_EQ(client.Request(kCurrentTimeItem, kCurrentTimeCapacity), "0.000000 s");
    client.ExpectDebugLines(0);
    // Refusals travel back: a command outside the vocabulary and an item nobody serves.
    EXPECT_FALSE(client.Send("[Self Destruct]"));
    EXPECT_EQ(client.Request("Serial Number"), "<failed>");
    client.ExpectDebugLines(2);
    const std::string longCommand = FileMergeCommand("C:\\" + std::string(600, 'f'));
    client.Send(longCommand);  // refused, there are no such files; but it must arrive whole
    // A long reply is cut to the capacity; a reply without a single byte is no reply.
    std::vector<char> buffer(kTotalPowerCapacity, 'x');
    ASSERT_TRUE(client.link.RequestData(kTotalPowerItem, buffer.data(), buffer.size()));
    EXPECT_EQ(std::string(buffer.data()), sim::GarbageText(300).substr(0, 255));
    EXPECT_EQ(buffer[255], '\0');
    char prepared[kDelayFinderCapacity] = "prepared", before[kDelayFinderCapacity];
    prepared[70] = 'z';
    std::memcpy(before, prepared, sizeof prepared);
    EXPECT_FALSE(client.link.RequestData(kDelayFinderItem, prepared, sizeof prepared));
    EXPECT_EQ(std::memcmp(before, prepared, sizeof prepared), 0);
    client.link.Disconnect();
    EXPECT_FALSE(client.link.Linked());
    Sleep(200);  // the analyzer logs the terminate when its message arrives
    EXPECT_EQ(analyzer.LogCount("begin   conversation"), 2);
    EXPECT_EQ(analyzer.LogCount("end     conversation"), 2);
    EXPECT_EQ(analyzer.LogCount("ok      [Set Marker 1 30.000000]"), 1);
    EXPECT_EQ(analyzer.LogCount("REFUSED [Self Destruct]"), 1);
    EXPECT_EQ(analyzer.LogCount(longCommand), 1);
}

TEST(AnalyzerLinkTest, WithoutAnAnalyzerCallsFailAtOnceAndConnectLeavesADebugLineOnly) {
    test::MessageRecorder messages;
    Client client(UniqueName("VornNobody"));
    char buffer[16] = "untouched";
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(client.Send(StopCommand()));
    EXPECT_FALSE(client.link.RequestData(kCurrentTimeItem, buffer, sizeof buffer));
    EXPECT_LT(SecondsSince(start), 0.5);
    EXPECT_STREQ(buffer, "untouched");
    client.ExpectDebugLines(0);
    EXPECT_FALSE(client.link.Connect());
    EXPECT_FALSE(client.link.Linked());
    client.ExpectDebugLines(1);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_FALSE(client.Send(StopCommand()));
}

struct KeepRegistryValue {  // puts the analyzer's registry value back as it was
    char saved[512] = {};
    DWORD size = sizeof saved;
    const bool had = RegGetValueA(HKEY_LOCAL_MACHINE, kAnalyzerRegistryKey, kAnalyzerRegistryValue, RRF_RT_REG_SZ,
                                  nullptr, saved, &size) == ERROR_SUCCESS;
    ~KeepRegistryValue() {
        if (had) RegSetKeyValueA(HKEY_LOCAL_MACHINE, kAnalyzerRegistryKey, kAnalyzerRegistryValue, REG_SZ, saved, size);
        else RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kAnalyzerRegistryKey, kAnalyzerRegistryValue);
    }
};

TEST(AnalyzerLinkTest, LaunchAnalyzerStartsTheRegisteredProgramOrTellsTheOperator) {
    KeepRegistryValue keep;
    test::MessageRecorder messages;
    const std::string service = UniqueName("VornLaunched");
    Client client(service);
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kAnalyzerRegistryKey, kAnalyzerRegistryValue);
    EXPECT_FALSE(client.link.LaunchAnalyzer());
    ASSERT_EQ(messages.Texts(), std::vector<std::string>{kAnalyzerNotInstalledText});
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Stop);
    EXPECT_EQ(messages.messages[0].buttons, MessageButtons::Ok);
    Analyzer registrar("/register --exit-after 1", service);  // registers itself with these options
    ASSERT_TRUE(registrar.Exited(10000));
    ASSERT_TRUE(client.link.LaunchAnalyzer());
    EXPECT_EQ(messages.messages.size(), 1u);
    ASSERT_TRUE(client.Connect());
    EXPECT_TRUE(client.Send(StopCommand()));  // and it leaves after this
}

// The first request is answered only after the link gave up on it (the program's real
// 10 s); that late answer must not be taken for the reply to the next request. Then the
// analyzer exits mid-conversation, and later transactions fail without hanging.
TEST(AnalyzerLinkTest, TimeOutsAndAnExitedAnalyzerFailTransactionsAndLateRepliesAreNotTaken) {
    Analyzer analyzer("--late \"Current Time\" --late-ms 11500 --exit-after 3");
    Client client(analyzer.service);
    ASSERT_TRUE(client.Connect());
    std::vector<bool> told;  // the wait handler hears of the long wait once, of prompt answers never
    client.link.SetWaitHandler([&](bool waiting) { told.push_back(waiting); });
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(client.Request(kCurrentTimeItem), "<failed>");
    const double waited = SecondsSince(start);
    EXPECT_GT(waited, 9.5);
    EXPECT_LT(waited, 12.0);
    client.ExpectDebugLines(1);
    EXPECT_EQ(told, (std::vector<bool>{true, false}));
    Sleep(2000);  // the late reply is now queued for the link's DDE window
    EXPECT_EQ(client.Request(kCurrentTimeItem), "0.000000 s");
    EXPECT_EQ(client.Request(kCurrentTimeItem), "0.000000 s");
    EXPECT_EQ(told.size(), 2u);
    ASSERT_TRUE(analyzer.Exited(5000));
    start = GetTickCount64();
    EXPECT_FALSE(client.Send(StopCommand()));
    EXPECT_EQ(client.Request(kCurrentTimeItem), "<failed>");
    EXPECT_LT(SecondsSince(start), 10.5);
    EXPECT_TRUE(client.link.Linked());  // a dropped conversation is only noticed by failures
    client.ExpectDebugLines(3);
}

// A frozen analyzer keeps its window but answers nothing; closing the conversation must
// not wait for its goodbye, which the DDE library alone would await for 10 s.
TEST(AnalyzerLinkTest, DisconnectFromAFrozenAnalyzerWaitsOnlyForTheProbe) {
    Analyzer analyzer("--hang-after 1");
    Client client(analyzer.service);
    ASSERT_TRUE(client.Connect());
    EXPECT_TRUE(client.Send(StopCommand()));  // answered; the analyzer freezes after it
    ASSERT_TRUE(test::WaitUntil([&] { return analyzer.LogCount("hang    after 1") == 1; }, 5000));
    const ULONGLONG start = GetTickCount64();
    client.link.Disconnect();
    EXPECT_LT(SecondsSince(start), kPartnerProbeMs / 1000.0 + 1.5);
    EXPECT_FALSE(client.link.Linked());
}

}  // namespace
}  // namespace vorn
