// The DDE link against the substitute analyzer program, each test with a service name
// of its own so that parallel runs never reach each other's server.
#include "analyzer/win32/AnalyzerLink.h"

#include "analyzer/AnalyzerCommands.h"
#include "simulator/ServerOptions.h"
#include "support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace vorn {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string UniqueName(const char* stem) {
    static int counter = 0;
    return std::string(stem) + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
}

std::string TempFile(const std::string& name) {
    char dir[MAX_PATH] = {};
    GetTempPathA(sizeof dir, dir);
    return std::string(dir) + name;
}

// The analyzer program for one test: started hidden, ended (if still running) at the end.
class Analyzer {
public:
    explicit Analyzer(const std::string& options = "")
        : service(UniqueName("VornSim")), logFile(TempFile(service + ".log")) {
        DeleteFileA(logFile.c_str());
        std::string commandLine = std::string("\"") + VORN_SIMULATOR_EXE + "\" --hidden --service " +
                                  service + " --log \"" + logFile + "\" " + options;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        started_ = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &process_) != 0;
        if (started_) CloseHandle(process_.hThread);
    }
    ~Analyzer() {
        if (!started_) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 0);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hProcess);
        DeleteFileA(logFile.c_str());
    }
    bool Exited(DWORD waitMs) const { return WaitForSingleObject(process_.hProcess, waitMs) == WAIT_OBJECT_0; }
    std::string Log() const {
        std::ifstream in(logFile, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    int LogCount(const std::string& what) const {
        const std::string log = Log();
        int n = 0;
        for (std::size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
        return n;
    }

    std::string service;
    std::string logFile;

private:
    bool started_ = false;
    PROCESS_INFORMATION process_ = {};
};

// A link that records its debug lines instead of sending them to the debugger.
struct RecordingLink {
    explicit RecordingLink(const std::string& service, DWORD timeoutMs = kAnalyzerTimeoutMs)
        : link(timeoutMs, service) {
        link.SetDebugOutput([this](const char* line) { lines.emplace_back(line); });
    }
    // The program starts asynchronously; its window answers once it is up.
    bool ConnectWithin(double seconds) {
        const auto start = Clock::now();
        while (SecondsSince(start) < seconds) {
            if (link.Connect()) {
                lines.clear();
                return true;
            }
            Sleep(50);
        }
        return false;
    }
    std::string Request(const char* item, std::size_t capacity = 256) {
        std::vector<char> buffer(capacity, '\0');
        if (!link.RequestData(item, buffer.data(), capacity)) return "<failed>";
        return buffer.data();
    }

    AnalyzerLink link;
    std::vector<std::string> lines;
};

const std::regex kDebugLine(R"(DDEML Error code = \d+\r)");

TEST(AnalyzerLinkTest, ConnectsSendsCommandsAndRequestsItems) {
    Analyzer analyzer;
    RecordingLink client(analyzer.service);
    ASSERT_TRUE(client.ConnectWithin(10));
    EXPECT_TRUE(client.link.Linked());

    EXPECT_TRUE(client.link.SendCommand(StopCommand().c_str()));
    EXPECT_TRUE(client.link.SendCommand(SetMarker1Command(30.0).c_str()));
    EXPECT_EQ(client.Request(kCurrentTimeItem, kCurrentTimeCapacity), "0.000000 s");
    EXPECT_TRUE(client.lines.empty());

    // Refusals travel back: a command outside the vocabulary and an item nobody serves.
    EXPECT_FALSE(client.link.SendCommand("[Self Destruct]"));
    EXPECT_EQ(client.Request("Serial Number"), "<failed>");
    ASSERT_EQ(client.lines.size(), 2u);
    for (const std::string& line : client.lines) EXPECT_TRUE(std::regex_match(line, kDebugLine)) << line;

    // Back-to-back transactions on one conversation each get their own answer.
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(client.link.SendCommand(GoToCommand().c_str())) << i;
        ASSERT_EQ(client.Request(kCurrentTimeItem), "0.000000 s") << i;
    }
    EXPECT_EQ(analyzer.LogCount("ok      [Set Marker 1 30.000000]"), 1);
    EXPECT_EQ(analyzer.LogCount("REFUSED [Self Destruct]"), 1);
}

TEST(AnalyzerLinkTest, LongCommandsAreSentWhole) {
    Analyzer analyzer;
    RecordingLink client(analyzer.service);
    ASSERT_TRUE(client.ConnectWithin(10));
    const std::string folder = "C:\\" + std::string(600, 'f');
    const std::string command = FileMergeCommand(folder);
    ASSERT_GT(command.size(), 1200u);
    // No such files, so the analyzer refuses; what matters is that it saw every byte.
    client.link.SendCommand(command.c_str());
    EXPECT_EQ(analyzer.LogCount(command), 1);
}

TEST(AnalyzerLinkTest, RepliesAreCutToTheCapacity) {
    Analyzer analyzer("--garbage \"Total Power\" --garbage-length 300 --empty \"Delay Finder\"");
    RecordingLink client(analyzer.service);
    ASSERT_TRUE(client.ConnectWithin(10));

    std::vector<char> buffer(kTotalPowerCapacity, 'x');
    ASSERT_TRUE(client.link.RequestData(kTotalPowerItem, buffer.data(), buffer.size()));
    EXPECT_EQ(std::string(buffer.data()), sim::GarbageText(300).substr(0, 255));
    EXPECT_EQ(buffer[255], '\0');

    // A reply without a single byte is no reply: the buffer stays as it was.
    char prepared[kDelayFinderCapacity] = "prepared";
    prepared[70] = 'z';
    char before[kDelayFinderCapacity];
    std::memcpy(before, prepared, sizeof prepared);
    EXPECT_FALSE(client.link.RequestData(kDelayFinderItem, prepared, sizeof prepared));
    EXPECT_EQ(std::memcmp(before, prepared, sizeof prepared), 0);
}

TEST(AnalyzerLinkTest, CallsWhileUnlinkedFailAtOnceAndQuietly) {
    RecordingLink client(UniqueName("VornNobody"));
    char buffer[16] = "untouched";
    const auto start = Clock::now();
    EXPECT_FALSE(client.link.SendCommand(StopCommand().c_str()));
    EXPECT_FALSE(client.link.RequestData(kCurrentTimeItem, buffer, sizeof buffer));
    EXPECT_LT(SecondsSince(start), 0.5);
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_TRUE(client.lines.empty());
    EXPECT_FALSE(client.link.Linked());
}

TEST(AnalyzerLinkTest, NoAnalyzerRunningFailsConnectWithADebugLineOnly) {
    test::MessageRecorder messages;
    RecordingLink client(UniqueName("VornNobody"));
    EXPECT_FALSE(client.link.Connect());
    EXPECT_FALSE(client.link.Linked());
    ASSERT_EQ(client.lines.size(), 1u);
    EXPECT_TRUE(std::regex_match(client.lines[0], kDebugLine)) << client.lines[0];
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_FALSE(client.link.SendCommand(StopCommand().c_str()));
}

TEST(AnalyzerLinkTest, SecondConnectClosesTheFirstConversation) {
    Analyzer analyzer;
    RecordingLink client(analyzer.service);
    ASSERT_TRUE(client.ConnectWithin(10));
    ASSERT_TRUE(client.link.Connect());
    EXPECT_TRUE(client.link.SendCommand(StopCommand().c_str()));
    client.link.Disconnect();
    EXPECT_FALSE(client.link.Linked());
    Sleep(200);  // the analyzer logs the terminate when its message arrives
    EXPECT_EQ(analyzer.LogCount("begin   conversation"), 2);
    EXPECT_EQ(analyzer.LogCount("end     conversation"), 2);
}

class RegistryValue {
public:
    RegistryValue() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAnalyzerRegistryKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
            char value[512] = {};
            DWORD size = sizeof value - 1;
            had_ = RegQueryValueExA(key, kAnalyzerRegistryValue, nullptr, nullptr,
                                    reinterpret_cast<LPBYTE>(value), &size) == ERROR_SUCCESS;
            saved_ = value;
            RegCloseKey(key);
        }
    }
    ~RegistryValue() {
        if (had_) Set(saved_);
        else Remove();
    }
    static void Set(const std::string& value) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kAnalyzerRegistryKey, 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr), ERROR_SUCCESS);
        RegSetValueExA(key, kAnalyzerRegistryValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(key);
    }
    static void Remove() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAnalyzerRegistryKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, kAnalyzerRegistryValue);
            RegCloseKey(key);
        }
    }

private:
    bool had_ = false;
    std::string saved_;
};

TEST(AnalyzerLinkTest, LaunchAnalyzerStartsTheRegisteredProgram) {
    RegistryValue keep;
    test::MessageRecorder messages;
    const std::string service = UniqueName("VornLaunched");
    // The program registers itself, with the options it should be started with.
    Analyzer registrar("/register --hidden --exit-after 1 --service " + service);
    ASSERT_TRUE(registrar.Exited(10000));

    RecordingLink client(service);
    ASSERT_TRUE(client.link.LaunchAnalyzer());
    EXPECT_TRUE(messages.messages.empty());
    ASSERT_TRUE(client.ConnectWithin(10));
    EXPECT_TRUE(client.link.SendCommand(StopCommand().c_str()));  // and it leaves after this
}

TEST(AnalyzerLinkTest, LaunchAnalyzerWithoutTheRegistryValueTellsTheOperator) {
    RegistryValue keep;
    RegistryValue::Remove();
    test::MessageRecorder messages;
    RecordingLink client(UniqueName("VornNobody"));
    EXPECT_FALSE(client.link.LaunchAnalyzer());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, kAnalyzerNotInstalledText);
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Stop);
    EXPECT_EQ(messages.messages[0].buttons, MessageButtons::Ok);
}

TEST(AnalyzerLinkTest, UnansweredItemTimesOutAndTheNextRequestGetsItsOwnReply) {
    Analyzer analyzer("--silent \"Total Power\"");
    RecordingLink client(analyzer.service);  // the program's 10 s
    ASSERT_TRUE(client.ConnectWithin(10));
    const auto start = Clock::now();
    EXPECT_EQ(client.Request(kTotalPowerItem), "<failed>");
    const double waited = SecondsSince(start);
    EXPECT_GT(waited, 9.5);
    EXPECT_LT(waited, 12.0);
    ASSERT_EQ(client.lines.size(), 1u);
    EXPECT_TRUE(std::regex_match(client.lines[0], kDebugLine));
    EXPECT_EQ(client.Request(kCurrentTimeItem), "0.000000 s");
    EXPECT_TRUE(client.link.SendCommand(StopCommand().c_str()));
}

TEST(AnalyzerLinkTest, ALateReplyIsNeverTakenForALaterRequest) {
    // The late answer of the first request comes while the link waits for nothing;
    // it must not be read as the answer to the next request of the same item.
    Analyzer analyzer("--late \"Current Time\" --late-ms 1300");
    RecordingLink client(analyzer.service, 1000);
    ASSERT_TRUE(client.ConnectWithin(10));
    EXPECT_EQ(client.Request(kCurrentTimeItem), "<failed>");
    Sleep(800);  // the late reply is now queued for the link's DDE window
    EXPECT_EQ(client.Request(kCurrentTimeItem), "0.000000 s");
    EXPECT_EQ(client.Request(kCurrentTimeItem), "0.000000 s");
}

TEST(AnalyzerLinkTest, AnAnalyzerThatExitsMakesLaterTransactionsFailWithoutHanging) {
    Analyzer analyzer("--exit-after 2");
    RecordingLink client(analyzer.service);
    ASSERT_TRUE(client.ConnectWithin(10));
    EXPECT_TRUE(client.link.SendCommand(StopCommand().c_str()));
    EXPECT_EQ(client.Request(kCurrentTimeItem), "0.000000 s");
    ASSERT_TRUE(analyzer.Exited(5000));

    const auto start = Clock::now();
    EXPECT_FALSE(client.link.SendCommand(StopCommand().c_str()));
    EXPECT_EQ(client.Request(kCurrentTimeItem), "<failed>");
    EXPECT_LT(SecondsSince(start), 10.5);
    EXPECT_TRUE(client.link.Linked());  // a dropped conversation is only noticed by failures
    EXPECT_EQ(client.lines.size(), 2u);
}

TEST(AnalyzerLinkTest, ADroppedConversationFailsLaterTransactionsAtOnce) {
    Analyzer analyzer("--drop-after 1");
    RecordingLink client(analyzer.service);
    ASSERT_TRUE(client.ConnectWithin(10));
    EXPECT_TRUE(client.link.SendCommand(StopCommand().c_str()));
    Sleep(100);
    const auto start = Clock::now();
    EXPECT_FALSE(client.link.SendCommand(StopCommand().c_str()));
    EXPECT_LT(SecondsSince(start), 2.0);
    // A fresh conversation works again.
    ASSERT_TRUE(client.link.Connect());
    EXPECT_EQ(client.Request(kCurrentTimeItem), "0.000000 s");
}

TEST(AnalyzerLinkTest, ARefusedCommandFailsAndTheOthersGoThrough) {
    Analyzer analyzer("--refuse [Record]");
    RecordingLink client(analyzer.service);
    ASSERT_TRUE(client.ConnectWithin(10));
    EXPECT_FALSE(client.link.SendCommand(RecordCommand().c_str()));
    EXPECT_TRUE(client.link.SendCommand(StopCommand().c_str()));
    EXPECT_EQ(client.lines.size(), 1u);
}

}  // namespace
}  // namespace vorn
