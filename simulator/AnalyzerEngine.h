// The substitute analyzer's brain: takes the program's command texts one at a time,
// keeps the analyzer's state and serves the five data items as text. It knows nothing
// of DDE; the Windows server (win32/) and in-process tests drive it alike.
//
// What a session looks like from here:
//   [Load Config ...]             reads CaptureData.cfg, then ProcessData.cfg, of that folder
//   [Set Generator Wave File ...] the stimulus (default periodic noise when unreadable)
//   [Record] ... [Stop]           one capture, as long as the (sped-up) time in between;
//                                 sealed object, or open after "[Set Left Overlay 1]"
//   [File Save ...TestN.wav]      writes the last capture
//   [File Merge ...]              reads Test1.wav and Test2.wav as a channel pair
//   [Run] with the delay finder open: finds the open capture's lag ("Delay Finder", ms)
//   [Run] with it closed: averages the cross-spectrum with "[Set Delay %f]" (ms) applied
//   [Set Marker 1/2 %f]           the rows served as "Marked Spectrum"/"Marked Phase"
#pragma once

#include "simulator/CrossSpectrum.h"
#include "simulator/SimulatorClock.h"
#include "simulator/SimulatorConfig.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::sim {

class AnalyzerEngine {
public:
    // speedOverride > 0 replaces the configuration files' Speed.
    explicit AnalyzerEngine(const SimulatorClock& clock, double speedOverride = 0.0);

    // False when the command is not one of the vocabulary, is malformed, or cannot be
    // carried out now (nothing to save, merge files missing, nothing to run on).
    bool Execute(std::string_view command);
    // False when the item is unknown or has nothing to give yet.
    bool Request(std::string_view item, std::string& reply);

    const SimulatorConfig& Config() const { return config_; }
    bool MinimizeRequested() const { return minimizeRequested_; }
    bool IsRecording() const { return recording_; }
    bool IsRunning() const { return running_; }
    double SampleRate() const { return captureRate_; }

private:
    double Now() const;
    void LoadConfig(const std::string& folder);
    std::vector<float> RenderCapture(double seconds) const;
    void FinishRecording();
    bool SaveCapture(const std::string& path) const;
    bool Merge(const std::string& folder);
    bool Run();

    const SimulatorClock& clock_;
    double speedOverride_;
    SimulatorConfig config_;

    bool minimizeRequested_ = false;
    int inputDevice_ = 0;
    int outputDevice_ = 0;
    bool totalPowerUtility_ = false;
    int averageSize_ = 1000;
    bool generatorUserDefined_ = false;
    std::string generatorFile_;
    std::vector<float> userStimulus_;
    double userStimulusRate_ = 0.0;

    bool nextCaptureOpen_ = false;
    bool recording_ = false;
    bool recordingOpen_ = false;
    double recordStart_ = 0.0;
    std::vector<float> stimulus_;
    double captureRate_ = 48000.0;
    std::optional<std::vector<float>> capture_;

    std::vector<float> mergedFirst_;
    std::vector<float> mergedSecond_;
    double mergedRate_ = 0.0;
    bool delayFinderOpen_ = false;
    double position_ = 0.0;  // s
    bool running_ = false;
    double runStart_ = 0.0;
    double frozenTime_ = 0.0;
    double delayMs_ = 0.0;
    std::optional<double> foundDelayMs_;
    CrossSpectrum spectrum_;
    bool spectrumReady_ = false;
    double marker1_ = 0.0;
    double marker2_ = 0.0;
};

}  // namespace vorn::sim
