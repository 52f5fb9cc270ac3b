#include "analyzer/win32/AnalyzerLink.h"

#include "common/MessageSink.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace vorn {

namespace {

// The link is a pure client: it subscribes to nothing, so whatever the library hands
// the callback is answered with "not handled".
HDDEDATA CALLBACK IgnoreTransaction(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR,
                                    ULONG_PTR) {
    return nullptr;
}

}  // namespace

AnalyzerLink::AnalyzerLink(DWORD timeoutMs, std::string service)
    : timeoutMs_(timeoutMs),
      serviceName_(std::move(service)),
      debugOutput_([](const char* line) { OutputDebugStringA(line); }) {}

AnalyzerLink::~AnalyzerLink() { Disconnect(); }

void AnalyzerLink::SetDebugOutput(DebugOutput output) {
    debugOutput_ = output ? std::move(output)
                          : DebugOutput([](const char* line) { OutputDebugStringA(line); });
}

bool AnalyzerLink::Connect() {
    Disconnect();
    instance_ = 0;
    conversation_ = nullptr;
    service_ = nullptr;
    topic_ = nullptr;
    callback_ = IgnoreTransaction;

    if (DdeInitializeA(&instance_, callback_, APPCLASS_STANDARD, 0) != DMLERR_NO_ERROR) {
        instance_ = 0;
        ShowMessage(ApplicationTitle(), kDdeInitializeFailedText, MessageIcon::Stop);
        return false;
    }
    if (instance_ == 0) return false;

    service_ = DdeCreateStringHandleA(instance_, serviceName_.c_str(), CP_WINANSI);
    topic_ = DdeCreateStringHandleA(instance_, kAnalyzerTopic, CP_WINANSI);
    if (!service_ || !topic_) return false;

    conversation_ = DdeConnect(instance_, service_, topic_, nullptr);
    if (!conversation_) {
        ReportLastError();
        linked_ = false;
        return false;
    }
    linked_ = true;
    return true;
}

// Closing a conversation posts a terminate to the analyzer's window and waits for its
// answer, up to a fixed 10 s inside the DDE library, whatever the link's own time-out.
// An analyzer that hangs, or one that has just died and whose window the system has
// not yet taken away, never answers: every close, the program's own included, then
// waited out those 10 s. So the window is asked for a sign of life first (a message
// that any pumping window answers at once); without one, the conversation is ended
// on this side as if the analyzer had ended it, and the library has nothing to wait for.
void AnalyzerLink::CloseConversation() {
    DispatchPendingDdeMessages();  // a terminate the analyzer already sent ends it here
    CONVINFO info = {};
    info.cb = sizeof info;
    DWORD_PTR answer = 0;
    if (DdeQueryConvInfo(conversation_, QID_SYNC, &info) && (info.wStatus & ST_CONNECTED) &&
        IsWindow(info.hwndPartner) &&
        !SendMessageTimeoutA(info.hwndPartner, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kPartnerProbeMs,
                             &answer)) {
        PostMessageA(info.hwnd, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(info.hwndPartner), 0);
        DispatchPendingDdeMessages();
    }
    DdeDisconnect(conversation_);
}

void AnalyzerLink::Disconnect() {
    if (conversation_) CloseConversation();
    conversation_ = nullptr;
    if (instance_) {
        if (service_) DdeFreeStringHandle(instance_, service_);
        if (topic_) DdeFreeStringHandle(instance_, topic_);
        DdeUninitialize(instance_);
    }
    service_ = nullptr;
    topic_ = nullptr;
    instance_ = 0;
    callback_ = nullptr;
    linked_ = false;
}

bool AnalyzerLink::Ready() const {
    return linked_ && instance_ != 0 && callback_ != nullptr && conversation_ != nullptr;
}

void AnalyzerLink::ReportLastError() {
    char line[64];
    std::snprintf(line, sizeof line, "DDEML Error code = %d\r",
                  static_cast<int>(DdeGetLastError(instance_)));
    debugOutput_(line);
}

// Only the DDE message range: the thread's other messages (a queued button click, the
// step timer) must not run in the middle of a script.
void AnalyzerLink::DispatchPendingDdeMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE))
        DispatchMessageA(&message);
}

bool AnalyzerLink::SendCommand(const char* command) {
    if (!Ready() || command == nullptr) return false;
    DispatchPendingDdeMessages();
    const DWORD length = static_cast<DWORD>(std::strlen(command)) + 1;
    HDDEDATA result = DdeClientTransaction(
        reinterpret_cast<LPBYTE>(const_cast<char*>(command)), length, conversation_, nullptr,
        CF_TEXT, XTYP_EXECUTE, timeoutMs_, nullptr);
    if (!result) {
        ReportLastError();
        return false;
    }
    return true;
}

bool AnalyzerLink::RequestData(const char* item, char* buffer, std::size_t capacity) {
    if (!Ready() || item == nullptr || buffer == nullptr || capacity == 0) return false;
    HSZ itemHandle = DdeCreateStringHandleA(instance_, item, CP_WINANSI);
    if (!itemHandle) return false;

    DispatchPendingDdeMessages();
    HDDEDATA reply = DdeClientTransaction(nullptr, 0, conversation_, itemHandle, CF_TEXT,
                                          XTYP_REQUEST, timeoutMs_, nullptr);
    if (!reply) {
        ReportLastError();
        DdeFreeStringHandle(instance_, itemHandle);
        return false;
    }

    const DWORD size = DdeGetData(reply, nullptr, 0, 0);
    if (size == 0) {
        DdeFreeDataHandle(reply);
        DdeFreeStringHandle(instance_, itemHandle);
        return false;
    }
    // One byte more than copied, so the text ends in a zero whether or not the reply did.
    std::vector<char> block(size, '\0');
    DdeGetData(reply, reinterpret_cast<LPBYTE>(block.data()), size - 1, 0);
    DdeFreeDataHandle(reply);

    const std::size_t length = std::strlen(block.data());
    const std::size_t copied = length < capacity - 1 ? length : capacity - 1;
    std::memcpy(buffer, block.data(), copied);
    std::memset(buffer + copied, 0, capacity - copied);

    DdeFreeStringHandle(instance_, itemHandle);
    return true;
}

bool AnalyzerLink::LaunchAnalyzer() {
    bool launched = false;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAnalyzerRegistryKey, 0, KEY_QUERY_VALUE, &key) ==
        ERROR_SUCCESS) {
        // 256 bytes are read; the extra byte keeps a value that fills all of them
        // terminated, whatever the registry stored.
        char commandLine[257] = {};
        DWORD size = 256;
        if (RegQueryValueExA(key, kAnalyzerRegistryValue, nullptr, nullptr,
                             reinterpret_cast<LPBYTE>(commandLine), &size) == ERROR_SUCCESS) {
            WinExec(commandLine, SW_SHOWNORMAL);
            launched = true;
        }
        RegCloseKey(key);
    }
    if (!launched) ShowMessage(ApplicationTitle(), kAnalyzerNotInstalledText, MessageIcon::Stop);
    return launched;
}

}  // namespace vorn
