// The DDE client conversation with the spectrum analyzer (service "Tonaserv", topic
// "Data"): execute and request transactions on the platform's DDE management library,
// each awaited before the call returns, and starting the analyzer program named in the
// registry.
//
// Every transaction waits at most timeoutMs (10 s in the program). A reply that
// arrives after its transaction gave up stays queued for the link's hidden DDE
// window; the link dispatches pending DDE messages before each transaction so such a
// late reply is never read as the answer to a later one.
//
// Disconnect takes at most about kPartnerProbeMs, also when the analyzer has just died
// or hangs (see CloseConversation).
#pragma once

#include "analyzer/AnalyzerConnection.h"
#include "analyzer/AnalyzerService.h"

#include <windows.h>
#include <dde.h>
#include <ddeml.h>

#include <functional>
#include <string>
#include <vector>

namespace vorn {

inline constexpr DWORD kAnalyzerTimeoutMs = 10000;
// A wait for an answer this long is one the operator notices (see SetWaitHandler).
inline constexpr DWORD kNoticedWaitMs = 100;
// How long Disconnect waits for a sign of life from the analyzer's window.
inline constexpr UINT kPartnerProbeMs = 1000;
inline constexpr const char* kDdeInitializeFailedText = "DdeInitialize failed";
// Kept word for word, double blank included: operators know this text.
inline constexpr const char* kAnalyzerNotInstalledText =
    "Failure opening the Tonalith-SC signal processing application.  Make sure it is "
    "installed on this computer.";

class AnalyzerLink final : public AnalyzerConnection {
public:
    // Receives each transport failure line ("DDEML Error code = %d\r").
    using DebugOutput = std::function<void(const char* line)>;

    // The service name is fixed in the program; tests give each analyzer they start
    // a name of its own so that parallel runs never talk to each other's server.
    explicit AnalyzerLink(DWORD timeoutMs = kAnalyzerTimeoutMs,
                          std::string service = kAnalyzerService);
    ~AnalyzerLink() override;
    AnalyzerLink(const AnalyzerLink&) = delete;
    AnalyzerLink& operator=(const AnalyzerLink&) = delete;

    bool Connect() override;
    void Disconnect() override;
    bool SendCommand(const char* command) override;
    bool RequestData(const char* item, char* buffer, std::size_t capacity) override;
    bool LaunchAnalyzer() override;
    bool Linked() const override { return linked_; }
    void SetWaitHandler(WaitHandler handler) override;

    // Default: OutputDebugStringA.
    void SetDebugOutput(DebugOutput output);

private:
    bool Ready() const;
    bool Transact(LPBYTE data, DWORD size, HSZ item, UINT type, std::vector<char>* reply);
    void ReportLastError();
    void ReportError(UINT code);
    void DispatchPendingDdeMessages();
    void CloseConversation();

    bool linked_ = false;
    DWORD instance_ = 0;
    PFNCALLBACK callback_ = nullptr;
    HSZ service_ = nullptr;
    HSZ topic_ = nullptr;
    HCONV conversation_ = nullptr;
    DWORD timeoutMs_;
    std::string serviceName_;
    DebugOutput debugOutput_;
    WaitHandler waitHandler_;
};

}  // namespace vorn
