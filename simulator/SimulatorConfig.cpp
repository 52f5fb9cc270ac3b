#include "simulator/SimulatorConfig.h"

#include "simulator/SimulatorPaths.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vorn::sim {

namespace {

std::string Trim(const std::string& s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool ReadNumber(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(v)) return false;
    out = v;
    return true;
}

bool IsPowerOfTwo(double v) {
    const auto n = static_cast<long long>(v);
    return n == v && n > 0 && (n & (n - 1)) == 0;
}

// Each key with the range it accepts; a value outside it is skipped like a typo.
bool Apply(const std::string& key, double v, SimulatorConfig& c) {
    auto in = [v](double lo, double hi) { return v >= lo && v <= hi; };
    if (key == "samplerate" && in(8000, 192000)) c.sampleRate = v;
    else if (key == "fullscalespl" && in(0, 200)) c.fullScaleSpl = v;
    else if (key == "stimulusleveldbfs" && in(-120, 0)) c.stimulusLevelDbfs = v;
    else if (key == "stimulusperiod" && in(256, 65536) && IsPowerOfTwo(v)) c.stimulusPeriod = static_cast<int>(v);
    else if (key == "stimulusseed" && in(0, 4294967295.0)) c.stimulusSeed = static_cast<unsigned>(v);
    else if (key == "sealedgaindb" && in(-60, 60)) c.sealedGainDb = v;
    else if (key == "opengaindb" && in(-60, 60)) c.openGainDb = v;
    else if (key == "leakcutoffhz" && in(0, 20000)) c.leakCutoffHz = v;
    else if (key == "latencyms" && in(0, 1000)) c.latencyMs = v;
    else if (key == "noisedbfs" && in(-400, 0)) c.noiseDbfs = v;
    else if (key == "noiseseed" && in(0, 4294967295.0)) c.noiseSeed = static_cast<unsigned>(v);
    else if (key == "fftsize" && in(256, 65536) && IsPowerOfTwo(v)) c.fftSize = static_cast<int>(v);
    else if (key == "maxdelayms" && in(0, 1000)) c.maxDelayMs = v;
    else if (key == "speed" && in(0.01, 10000)) c.speed = v;
    else return false;
    return true;
}

const char* const kKnownKeys[] = {"samplerate",   "fullscalespl", "stimulusleveldbfs",
                                  "stimulusperiod", "stimulusseed", "sealedgaindb",
                                  "opengaindb",   "leakcutoffhz", "latencyms",
                                  "noisedbfs",    "noiseseed",    "fftsize",
                                  "maxdelayms",   "speed"};

}  // namespace

std::vector<std::string> ApplySimulatorConfig(const std::string& text, SimulatorConfig& config) {
    std::vector<std::string> unknown;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#' || line[0] == '[') continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = Lower(Trim(line.substr(0, eq)));
        std::string value = Trim(line.substr(eq + 1));
        const std::size_t comment = value.find_first_of(";#");
        if (comment != std::string::npos) value = Trim(value.substr(0, comment));
        const bool known = std::find(std::begin(kKnownKeys), std::end(kKnownKeys), key) !=
                           std::end(kKnownKeys);
        double v = 0;
        if (!known) unknown.push_back(key);
        else if (ReadNumber(value, v)) Apply(key, v, config);
    }
    return unknown;
}

bool LoadSimulatorConfig(const std::string& path, SimulatorConfig& config) {
    std::ifstream in(LocalPath(path), std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    ApplySimulatorConfig(text.str(), config);
    return true;
}

}  // namespace vorn::sim
