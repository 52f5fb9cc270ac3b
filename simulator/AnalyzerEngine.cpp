#include "simulator/AnalyzerEngine.h"

#include "analyzer/AnalyzerCommands.h"
#include "common/Format.h"
#include "simulator/AcousticModel.h"
#include "simulator/DelayFinder.h"
#include "simulator/RecordingFile.h"
#include "simulator/SimulatorPaths.h"

#include <algorithm>
#include <cmath>

namespace vorn::sim {

namespace {

// Longer than any test the program accepts (360 s), short enough to stay in memory.
constexpr double kMaxCaptureSeconds = 400.0;
constexpr double kMarkerUnset = -1.0;

}  // namespace

AnalyzerEngine::AnalyzerEngine(const SimulatorClock& clock, double speedOverride)
    : clock_(clock), speedOverride_(speedOverride), marker1_(kMarkerUnset), marker2_(kMarkerUnset) {}

double AnalyzerEngine::Now() const {
    const double speed = speedOverride_ > 0 ? speedOverride_ : config_.speed;
    return clock_.Seconds() * speed;
}

void AnalyzerEngine::LoadConfig(const std::string& folder) {
    config_ = SimulatorConfig{};
    LoadSimulatorConfig(JoinAnalyzerPath(folder, "Config", "CaptureData.cfg"), config_);
    LoadSimulatorConfig(JoinAnalyzerPath(folder, "Config", "ProcessData.cfg"), config_);
}

std::vector<float> AnalyzerEngine::RenderCapture(double seconds) const {
    const double clamped = std::clamp(seconds, 0.0, kMaxCaptureSeconds);
    const auto count = static_cast<std::size_t>(clamped * captureRate_);
    return AcousticModel(config_).Capture(stimulus_, captureRate_, count, recordingOpen_);
}

void AnalyzerEngine::FinishRecording() {
    if (!recording_) return;
    capture_ = RenderCapture(Now() - recordStart_);
    recording_ = false;
}

bool AnalyzerEngine::SaveCapture(const std::string& path) const {
    if (!capture_ || capture_->empty()) return false;
    Recording recording;
    recording.sampleRate = captureRate_;
    recording.channels.push_back(*capture_);
    return SaveRecording(path, recording);
}

bool AnalyzerEngine::Merge(const std::string& folder) {
    Recording first;
    Recording second;
    if (!LoadRecording(JoinAnalyzerPath(folder, "Output", "Test1.wav"), first) ||
        !LoadRecording(JoinAnalyzerPath(folder, "Output", "Test2.wav"), second) ||
        first.sampleRate != second.sampleRate)
        return false;
    const std::size_t length = std::min(first.channels[0].size(), second.channels[0].size());
    mergedFirst_.assign(first.channels[0].begin(), first.channels[0].begin() + static_cast<long>(length));
    mergedSecond_.assign(second.channels[0].begin(), second.channels[0].begin() + static_cast<long>(length));
    mergedRate_ = first.sampleRate;
    foundDelayMs_.reset();
    spectrumReady_ = false;
    return true;
}

bool AnalyzerEngine::Run() {
    if (mergedFirst_.empty()) return false;
    const auto start = static_cast<std::size_t>(std::max(0.0, position_) * mergedRate_);
    if (delayFinderOpen_) {
        const long maxLag = std::lround(config_.maxDelayMs * mergedRate_ / 1000.0);
        const std::optional<long> lag = DelayFinder::FindLag(mergedFirst_, mergedSecond_, start, maxLag);
        if (lag) foundDelayMs_ = static_cast<double>(*lag) * 1000.0 / mergedRate_;
        else foundDelayMs_.reset();
    } else {
        spectrumReady_ = spectrum_.Compute(mergedFirst_, mergedSecond_, mergedRate_,
                                           static_cast<std::size_t>(config_.fftSize), start,
                                           averageSize_, delayMs_ / 1000.0, config_.fullScaleSpl);
    }
    running_ = true;
    runStart_ = Now();
    return true;
}

bool AnalyzerEngine::Execute(std::string_view text) {
    const std::optional<ParsedCommand> command = ParseAnalyzerCommand(text);
    if (!command) return false;
    using K = AnalyzerCommandKind;
    switch (command->kind) {
    case K::MinimizeWindow: minimizeRequested_ = true; return true;
    case K::FileClose:
        // Closes the document: a capture in progress ends unsaved, a pass stops.
        recording_ = false;
        if (running_) frozenTime_ = Now() - runStart_;
        running_ = false;
        return true;
    case K::LoadCaptureConfig:
    case K::LoadProcessConfig: LoadConfig(command->path); return true;
    case K::SetInputDevice: inputDevice_ = static_cast<int>(command->number); return true;
    case K::SetOutputDevice: outputDevice_ = static_cast<int>(command->number); return true;
    case K::OpenTotalPowerUtility: totalPowerUtility_ = true; return true;
    case K::SetAverageSize: averageSize_ = 1000; return true;
    case K::SetGeneratorTypeUserDefined: generatorUserDefined_ = true; return true;
    case K::SetGeneratorWaveFileLeft: {
        generatorFile_ = command->path;
        Recording stimulus;
        userStimulus_.clear();
        if (LoadRecording(generatorFile_, stimulus) && !stimulus.channels[0].empty()) {
            userStimulus_ = stimulus.channels[0];
            userStimulusRate_ = stimulus.sampleRate;
        }
        return true;
    }
    case K::Record:
        if (generatorUserDefined_ && !userStimulus_.empty()) {
            stimulus_ = userStimulus_;
            captureRate_ = userStimulusRate_;
        } else {
            stimulus_ = AcousticModel(config_).DefaultStimulus();
            captureRate_ = config_.sampleRate;
        }
        recording_ = true;
        recordingOpen_ = nextCaptureOpen_;
        recordStart_ = Now();
        capture_.reset();
        return true;
    case K::Stop:
        FinishRecording();
        if (running_) frozenTime_ = Now() - runStart_;
        running_ = false;
        return true;
    case K::FileMerge: return Merge(command->path);
    case K::DelayFinder: foundDelayMs_.reset(); return true;
    case K::OpenDelayFinder: delayFinderOpen_ = true; return true;
    case K::CloseDelayFinder: delayFinderOpen_ = false; return true;
    case K::GoTo: position_ = 1.0; return true;
    case K::Run: return Run();
    case K::SetDelay: delayMs_ = command->value; return true;
    case K::SaveTest1:
        FinishRecording();
        return SaveCapture(JoinAnalyzerPath(command->path, "Output", "Test1.wav"));
    case K::SaveTest2:
        FinishRecording();
        return SaveCapture(JoinAnalyzerPath(command->path, "Output", "Test2.wav"));
    case K::SaveMerged: {
        if (mergedFirst_.empty()) return false;
        Recording merged;
        merged.sampleRate = mergedRate_;
        merged.channels = {mergedFirst_, mergedSecond_};
        return SaveRecording(JoinAnalyzerPath(command->path, "Output", "Merged.wav"), merged);
    }
    // The sealed capture is kept as overlay 1; the operator then opens the object,
    // so the next capture hears the open one (and after overlay 2, sealed again).
    case K::SetLeftOverlay1: nextCaptureOpen_ = true; return true;
    case K::SetLeftOverlay2: nextCaptureOpen_ = false; return true;
    case K::SetMarker1: marker1_ = command->value; return true;
    case K::SetMarker2: marker2_ = command->value; return true;
    }
    return false;
}

bool AnalyzerEngine::Request(std::string_view item, std::string& reply) {
    if (item == kTotalPowerItem) {
        const std::vector<float> samples =
            recording_ ? RenderCapture(Now() - recordStart_) : capture_.value_or(std::vector<float>{});
        if (samples.empty()) return false;
        double sum = 0;
        for (float v : samples) sum += static_cast<double>(v) * v;
        const double meanSquare = sum / static_cast<double>(samples.size());
        const double level = meanSquare > 0 ? 10 * std::log10(meanSquare) + config_.fullScaleSpl : -300.0;
        reply = Format("%f dB SPL", level);
        return true;
    }
    if (item == kDelayFinderItem) {
        if (!foundDelayMs_) return false;
        reply = Format("%f ms", *foundDelayMs_);
        return true;
    }
    if (item == kCurrentTimeItem) {
        reply = Format("%f s", running_ ? Now() - runStart_ : frozenTime_);
        return true;
    }
    if (item == kMarkedSpectrumItem || item == kMarkedPhaseItem) {
        if (!spectrumReady_) return false;
        const double high = marker2_ == kMarkerUnset ? mergedRate_ / 2 : marker2_;
        const double low = marker1_ == kMarkerUnset ? 0.0 : marker1_;
        reply = item == kMarkedSpectrumItem ? spectrum_.LevelRows(low, high)
                                            : spectrum_.PhaseRows(low, high);
        return true;
    }
    return false;
}

}  // namespace vorn::sim
