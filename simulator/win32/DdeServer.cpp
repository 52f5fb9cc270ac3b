#include "simulator/win32/DdeServer.h"

#include <dde.h>

#include <cstddef>
#include <cstring>

namespace vorn::sim {

namespace {

constexpr const char* kClassName = "VornAnalyzerSimDde";
// What a Late item finally sends, so a test can tell it from the item's own reply.
constexpr const char* kLateReplyText = "late reply";

std::string AtomText(ATOM atom) {
    char name[256] = {};
    if (atom) GlobalGetAtomNameA(atom, name, sizeof name);
    return name;
}

}  // namespace

DdeServer::DdeServer(AnalyzerEngine& engine, const ServerOptions& options, CommandLog& log)
    : engine_(engine), options_(options), log_(log) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
    // Top-level (not a message-only window) so that the clients' broadcast reaches it.
    window_ = CreateWindowExA(0, kClassName, options_.service.c_str(), WS_POPUP, 0, 0, 0, 0,
                              nullptr, nullptr, wc.hInstance, this);
}

DdeServer::~DdeServer() {
    for (HWND client : clients_) PostMessageA(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window_), 0);
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK DdeServer::WindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<DdeServer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && self->window_ == window) return self->Handle(message, wp, lp);
    return DefWindowProcA(window, message, wp, lp);
}

LRESULT DdeServer::Handle(UINT message, WPARAM wp, LPARAM lp) {
    HWND client = reinterpret_cast<HWND>(wp);
    // A window that is not (or no longer) in a conversation with us gets no answer.
    const bool known = clients_.count(client) != 0;
    switch (message) {
    case WM_DDE_INITIATE: OnInitiate(client, lp); return 0;
    case WM_DDE_EXECUTE: if (known) OnExecute(client, lp); return 0;
    case WM_DDE_REQUEST: if (known) OnRequest(client, lp); return 0;
    case WM_DDE_TERMINATE: OnTerminate(client); return 0;
    case WM_DDE_POKE:
    case WM_DDE_ADVISE:
    case WM_DDE_UNADVISE: if (known) Refuse(client, message, lp); return 0;
    case WM_TIMER: OnLateReply(wp); return 0;
    default: return DefWindowProcA(window_, message, wp, lp);
    }
}

void DdeServer::OnInitiate(HWND client, LPARAM lp) {
    const std::string service = AtomText(LOWORD(lp));
    const std::string topic = AtomText(HIWORD(lp));
    if ((!service.empty() && lstrcmpiA(service.c_str(), options_.service.c_str()) != 0) ||
        (!topic.empty() && lstrcmpiA(topic.c_str(), options_.topic.c_str()) != 0))
        return;
    clients_.insert(client);
    log_.Add("begin   conversation");
    // The ACK to an INITIATE is sent, not posted; the atoms become the client's.
    SendMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(window_),
                 MAKELPARAM(GlobalAddAtomA(options_.service.c_str()),
                            GlobalAddAtomA(options_.topic.c_str())));
}

void DdeServer::OnExecute(HWND client, LPARAM lp) {
    // In 32 and 64-bit DDE the EXECUTE lParam is the command handle itself, not packed.
    HGLOBAL commands = reinterpret_cast<HGLOBAL>(lp);
    std::string text;
    if (const char* p = static_cast<const char*>(GlobalLock(commands))) {
        text.assign(p, strnlen(p, GlobalSize(commands)));
        GlobalUnlock(commands);
    }
    bool accepted = false;
    bool refusedByOption = false;
    for (const std::string& prefix : options_.refusedCommands)
        if (text.compare(0, prefix.size(), prefix) == 0) refusedByOption = true;
    if (!refusedByOption) {
        accepted = engine_.Execute(text);
        if (engine_.MinimizeRequested()) log_.Minimize();
    }
    log_.Add(std::string(accepted ? "ok      " : "REFUSED ") + text);
    PostMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(window_),
                 PackDDElParam(WM_DDE_ACK, accepted ? 0x8000 : 0, reinterpret_cast<UINT_PTR>(commands)));
    AfterTransaction(client);
}

void DdeServer::OnRequest(HWND client, LPARAM lp) {
    const UINT format = LOWORD(lp);
    const ATOM item = HIWORD(lp);
    const std::string name = AtomText(item);
    const auto fault = options_.itemFaults.find(name);
    const ReplyFault kind = fault == options_.itemFaults.end() ? ReplyFault::None : fault->second;

    if (format != CF_TEXT) {
        log_.Add("REFUSED ? " + name + " (not text)");
        SendNegativeAck(client, item);
    } else if (kind == ReplyFault::Silent) {
        log_.Add("silent  ? " + name);
    } else if (kind == ReplyFault::Late && answeredLate_.insert(name).second) {
        const UINT_PTR timer = nextTimer_++;
        late_[timer] = {client, item};
        SetTimer(window_, timer, static_cast<UINT>(options_.lateMs), nullptr);
        log_.Add("late    ? " + name);
    } else if (kind == ReplyFault::Empty) {
        log_.Add("empty   ? " + name);
        SendData(client, item, "", true);
    } else if (kind == ReplyFault::Garbage) {
        log_.Add("garbage ? " + name);
        SendData(client, item, GarbageText(options_.garbageLength), false);
    } else {
        std::string reply;
        if (engine_.Request(name, reply)) {
            log_.Add("ok      ? " + name + " (" + std::to_string(reply.size()) + " bytes)");
            SendData(client, item, reply, false);
        } else {
            log_.Add("REFUSED ? " + name);
            SendNegativeAck(client, item);
        }
    }
    AfterTransaction(client);
}

void DdeServer::OnLateReply(UINT_PTR timer) {
    KillTimer(window_, timer);
    const auto late = late_.find(timer);
    if (late == late_.end()) return;
    if (clients_.count(late->second.client)) SendData(late->second.client, late->second.item, kLateReplyText, false);
    late_.erase(late);
}

void DdeServer::OnTerminate(HWND client) {
    if (!clients_.erase(client)) return;
    log_.Add("end     conversation");
    PostMessageA(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window_), 0);
}

void DdeServer::Refuse(HWND client, UINT message, LPARAM lp) {
    UINT_PTR low = 0;
    UINT_PTR high = 0;
    UnpackDDElParam(message, lp, &low, &high);
    FreeDDElParam(message, lp);
    if (message == WM_DDE_POKE && low) GlobalFree(reinterpret_cast<HGLOBAL>(low));
    SendNegativeAck(client, static_cast<ATOM>(high));
}

// The data block is a DDEDATA header followed by the text and its zero byte; an
// empty reply is the bare header, which the client reads as zero bytes of data.
void DdeServer::SendData(HWND client, ATOM item, const std::string& text, bool empty) {
    const std::size_t header = offsetof(DDEDATA, Value);
    const std::size_t size = header + (empty ? 0 : text.size() + 1);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    if (!block) {
        SendNegativeAck(client, item);
        return;
    }
    auto* data = static_cast<DDEDATA*>(GlobalLock(block));
    data->unused = 0;
    data->fResponse = 1;
    data->fRelease = 1;
    data->reserved = 0;
    data->fAckReq = 0;
    data->cfFormat = CF_TEXT;
    if (!empty) std::memcpy(reinterpret_cast<char*>(data) + header, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    if (!PostMessageA(client, WM_DDE_DATA, reinterpret_cast<WPARAM>(window_),
                      PackDDElParam(WM_DDE_DATA, reinterpret_cast<UINT_PTR>(block), item)))
        GlobalFree(block);
}

void DdeServer::SendNegativeAck(HWND client, ATOM item) {
    PostMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(window_), PackDDElParam(WM_DDE_ACK, 0, item));
}

void DdeServer::AfterTransaction(HWND client) {
    ++transactions_;
    if (options_.exitAfter > 0 && transactions_ >= options_.exitAfter) {
        log_.Add("exit    after " + std::to_string(transactions_) + " transactions");
        // Gone without a word, as a crashed analyzer would be.
        ExitProcess(3);
    }
    if (options_.hangAfter > 0 && transactions_ >= options_.hangAfter) {
        log_.Add("hang    after " + std::to_string(transactions_) + " transactions");
        // Frozen, as an analyzer stuck in a long computation is: its window stays, and
        // nothing is answered any more until the process is ended from outside.
        Sleep(INFINITE);
    }
    if (options_.dropAfter > 0 && transactions_ >= options_.dropAfter && clients_.erase(client)) {
        log_.Add("drop    after " + std::to_string(transactions_) + " transactions");
        PostMessageA(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window_), 0);
    }
}

}  // namespace vorn::sim
