// The substitute analyzer's DDE server, spoken in raw DDE messages on a hidden
// top-level window (WM_DDE_INITIATE is broadcast to top-level windows only).
//
// Raw messages rather than the DDE management library's server side: under Wine a
// library server posts an extra positive acknowledgement after each data reply, and a
// client's next back-to-back request then takes that stale message for its answer.
// Here every request gets exactly one message back: the data, or a negative ACK.
#pragma once

#include "simulator/AnalyzerEngine.h"
#include "simulator/ServerOptions.h"
#include "simulator/win32/CommandLog.h"

#include <windows.h>

#include <map>
#include <set>
#include <string>

namespace vorn::sim {

class DdeServer {
public:
    DdeServer(AnalyzerEngine& engine, const ServerOptions& options, CommandLog& log);
    ~DdeServer();
    DdeServer(const DdeServer&) = delete;
    DdeServer& operator=(const DdeServer&) = delete;

    bool Created() const { return window_ != nullptr; }

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Handle(UINT message, WPARAM wp, LPARAM lp);
    void OnInitiate(HWND client, LPARAM lp);
    void OnExecute(HWND client, LPARAM lp);
    void OnRequest(HWND client, LPARAM lp);
    void OnTerminate(HWND client);
    void OnLateReply(UINT_PTR timer);
    void Refuse(HWND client, UINT message, LPARAM lp);
    void SendData(HWND client, ATOM item, const std::string& text, bool empty);
    void SendNegativeAck(HWND client, ATOM item);
    void AfterTransaction(HWND client);

    AnalyzerEngine& engine_;
    ServerOptions options_;
    CommandLog& log_;
    HWND window_ = nullptr;
    std::set<HWND> clients_;
    int transactions_ = 0;
    struct Late {
        HWND client;
        ATOM item;
    };
    std::map<UINT_PTR, Late> late_;
    UINT_PTR nextTimer_ = 1;
    std::set<std::string> answeredLate_;
};

}  // namespace vorn::sim
