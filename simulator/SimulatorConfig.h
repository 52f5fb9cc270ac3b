// Parameters of the simulated measurement, read from the analyzer's two configuration
// files ("CaptureData.cfg" before a capture, "ProcessData.cfg" before processing).
// Both use one small INI dialect: "key = value" lines, "[section]" headers and
// ";" or "#" comments are ignored, keys match without regard to case, unknown keys and
// unreadable values are skipped (the value keeps its previous setting). A missing
// file leaves every value as it was.
#pragma once

#include <string>
#include <vector>

namespace vorn::sim {

struct SimulatorConfig {
    // Capture side (CaptureData.cfg).
    double sampleRate = 48000.0;        // Hz, of the default stimulus and of every capture
    double fullScaleSpl = 120.0;        // dB SPL of a capture whose mean square is 1.0
    double stimulusLevelDbfs = -12.0;   // dB re full scale, RMS of the default stimulus
    int stimulusPeriod = 16384;         // samples, period of the default stimulus (power of two)
    unsigned stimulusSeed = 1;          // random phases of the default stimulus
    double sealedGainDb = 0.0;          // dB, flat gain of the sealed test object
    double openGainDb = 0.0;            // dB, pass-band gain of the open test object
    double leakCutoffHz = 100.0;        // Hz, -3 dB corner of the open object's leak (high-pass)
    double latencyMs = 2.5;             // ms, how much later the open capture hears the stimulus
    double noiseDbfs = -400.0;          // dB re full scale, RMS of added noise; <= -300 is off
    unsigned noiseSeed = 7;
    // Processing side (ProcessData.cfg).
    int fftSize = 16384;                // samples per analysis frame (power of two, 256..65536)
    double maxDelayMs = 100.0;          // ms, the delay finder looks within +/- this
    // Either file; a command-line option of the analyzer program overrides it.
    double speed = 1.0;                 // how much faster than real time captures and passes run
};

// Applies the settings found in text to config; returns the keys it did not know.
std::vector<std::string> ApplySimulatorConfig(const std::string& text, SimulatorConfig& config);
// Reads a file and applies it; false when the file could not be read.
bool LoadSimulatorConfig(const std::string& path, SimulatorConfig& config);

}  // namespace vorn::sim
