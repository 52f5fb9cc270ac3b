#include "analyzer/win32/AnalyzerLink.h"

#include "common/MessageSink.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace vorn {

namespace {

// The transaction this thread's link waits for. The library reports its end to the
// callback, which has no room for the link itself; the data handle is only valid there.
struct Pending {
    DWORD id = 0;
    bool done = false;
    bool request = false;
    HDDEDATA result = nullptr;  // a request's reply (copied below), TRUE or FALSE for a command
    std::vector<char> reply;    // zero-terminated
};
thread_local Pending* pending = nullptr;

// The link is a pure client: it subscribes to nothing, so whatever else the library
// hands the callback is answered with "not handled".
HDDEDATA CALLBACK OnTransaction(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA data, ULONG_PTR id, ULONG_PTR) {
    if (type != XTYP_XACT_COMPLETE || !pending || id != pending->id) return nullptr;
    pending->done = true;
    pending->result = data;
    const DWORD size = pending->request && data ? DdeGetData(data, nullptr, 0, 0) : 0;
    if (size > 0) {
        pending->reply.assign(size + 1, '\0');
        DdeGetData(data, reinterpret_cast<LPBYTE>(pending->reply.data()), size, 0);
    }
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
    callback_ = OnTransaction;

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

void AnalyzerLink::ReportLastError() { ReportError(DdeGetLastError(instance_)); }

void AnalyzerLink::ReportError(UINT code) {
    char line[64];
    std::snprintf(line, sizeof line, "DDEML Error code = %d\r", static_cast<int>(code));
    debugOutput_(line);
}

void AnalyzerLink::DispatchPendingDdeMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE))
        DispatchMessageA(&message);
}

void AnalyzerLink::SetWaitHandler(WaitHandler handler) { waitHandler_ = std::move(handler); }

// The answer is awaited here rather than inside the library, which would block every
// window of the thread without a repaint for up to the whole time-out: this wait keeps
// them painted and tells the wait handler when it has become one a person notices.
// Only DDE messages and repaints are dispatched: a queued button click or the step
// timer must not run in the middle of a script.
bool AnalyzerLink::Transact(LPBYTE data, DWORD size, HSZ item, UINT type, std::vector<char>* reply) {
    DispatchPendingDdeMessages();
    Pending transaction;
    transaction.request = type == XTYP_REQUEST;
    if (!DdeClientTransaction(data, size, conversation_, item, CF_TEXT, type, TIMEOUT_ASYNC, &transaction.id)) {
        ReportLastError();
        return false;
    }
    pending = &transaction;
    const DWORD start = GetTickCount();
    bool told = false;
    for (;;) {
        DispatchPendingDdeMessages();
        const DWORD elapsed = GetTickCount() - start;
        if (transaction.done || elapsed >= timeoutMs_) break;
        if (!told && elapsed >= kNoticedWaitMs && waitHandler_) {
            told = true;
            waitHandler_(true);
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&message);
        DWORD wakeAt = !told && waitHandler_ && elapsed < kNoticedWaitMs ? kNoticedWaitMs : timeoutMs_;
        wakeAt = wakeAt < timeoutMs_ ? wakeAt : timeoutMs_;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wakeAt - elapsed, QS_POSTMESSAGE | QS_PAINT | QS_SENDMESSAGE);
    }
    pending = nullptr;
    // Also after an answer: a finished transaction the library still keeps queued would
    // be taken for the one that the next answer belongs to. All of the conversation's
    // (there is only this one): Wine does not find a transaction by the identifier it
    // handed out.
    DdeAbandonTransaction(instance_, conversation_, 0);
    if (told) waitHandler_(false);
    if (!transaction.done) {
        ReportError(type == XTYP_EXECUTE ? DMLERR_EXECACKTIMEOUT : DMLERR_DATAACKTIMEOUT);
        return false;
    }
    if (!transaction.result) {
        ReportError(DMLERR_NOTPROCESSED);
        return false;
    }
    if (reply) *reply = std::move(transaction.reply);
    return true;
}

bool AnalyzerLink::SendCommand(const char* command) {
    if (!Ready() || command == nullptr) return false;
    const DWORD length = static_cast<DWORD>(std::strlen(command)) + 1;
    return Transact(reinterpret_cast<LPBYTE>(const_cast<char*>(command)), length, nullptr, XTYP_EXECUTE, nullptr);
}

bool AnalyzerLink::RequestData(const char* item, char* buffer, std::size_t capacity) {
    if (!Ready() || item == nullptr || buffer == nullptr || capacity == 0) return false;
    HSZ itemHandle = DdeCreateStringHandleA(instance_, item, CP_WINANSI);
    if (!itemHandle) return false;
    std::vector<char> reply;
    const bool answered = Transact(nullptr, 0, itemHandle, XTYP_REQUEST, &reply);
    DdeFreeStringHandle(instance_, itemHandle);
    if (!answered || reply.empty()) return false;

    const std::size_t length = std::strlen(reply.data());
    const std::size_t copied = length < capacity - 1 ? length : capacity - 1;
    std::memcpy(buffer, reply.data(), copied);
    std::memset(buffer + copied, 0, capacity - copied);
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
