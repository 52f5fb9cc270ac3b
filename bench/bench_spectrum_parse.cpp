// ParseSpectrumRows on full "Marked Spectrum" and "Marked Phase" replies (16384 rows of
// 80 bytes each, the most the 1310720-byte buffer holds) plus the power-weighted sums,
// and the whole computation over an in-memory analyzer connection.
#include "BenchCases.h"
#include "analyzer/AnalyzerCommands.h"
#include "app/CorwithNumber.h"
#include "app/SpectrumParser.h"

#include <cstring>
#include <random>
#include <string>

namespace {

constexpr int kRows = vorn::kMaxSpectrumRows;
constexpr std::size_t kRowBytes = 80;

// Rows as the analyzer writes them ("%f\t%f\r\n"), each padded with blanks to 80 bytes;
// with `longDigits` the numbers carry 30 decimals instead of six.
std::string Reply(double low, double high, bool longDigits, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> value(low, high);
    std::string text;
    text.reserve(kRows * kRowBytes + 1);
    char row[160];
    for (int i = 0; i < kRows; ++i) {
        int n = std::snprintf(row, sizeof row, longDigits ? "%.30f\t%.30f" : "%f\t%f", 20.0 + 1.2 * i, value(rng));
        std::string line(row, static_cast<std::size_t>(n));
        line.resize(kRowBytes - 2, ' ');
        text += line + "\r\n";
    }
    return text;
}

// Serves the two replies from memory, as the DDE link would after its transaction.
class MemoryAnalyzer final : public vorn::AnalyzerConnection {
public:
    MemoryAnalyzer(std::string spectrum, std::string phase) : spectrum(std::move(spectrum)), phase(std::move(phase)) {}
    bool Connect() override { return true; }
    void Disconnect() override {}
    bool SendCommand(const char*) override { return true; }
    bool RequestData(const char* item, char* buffer, std::size_t capacity) override {
        const std::string& reply = std::strcmp(item, vorn::kMarkedSpectrumItem) == 0 ? spectrum : phase;
        std::size_t n = std::min(reply.size(), capacity - 1);
        std::memcpy(buffer, reply.data(), n);
        std::memset(buffer + n, 0, capacity - n);
        return true;
    }
    bool LaunchAnalyzer() override { return true; }
    bool Linked() const override { return true; }

private:
    std::string spectrum, phase;
};

volatile float sink = 0.0f;

}  // namespace

int main(int argc, char** argv) {
    static const std::string spectrum = Reply(-60.0, 10.0, false, 1);
    static const std::string phase = Reply(-180.0, 180.0, false, 2);
    static const std::string longSpectrum = Reply(-60.0, 10.0, true, 1);
    static const std::string longPhase = Reply(-180.0, 180.0, true, 2);
    static std::vector<vorn::SpectrumRow> spectrumRows(kRows), phaseRows(kRows);

    auto parseAndSum = [](const std::string& s, const std::string& p) {
        return [&s, &p] {
            int32_t a = 0, b = 0;
            vorn::ParseSpectrumRows(s.c_str(), kRows, spectrumRows.data(), a);
            vorn::ParseSpectrumRows(p.c_str(), kRows, phaseRows.data(), b);
            sink = vorn::CorwithNumberFromRows(spectrumRows.data(), phaseRows.data(), a, 1.0f);
        };
    };
    // The last row's line end does not fit the buffer; the row itself still does.
    static MemoryAnalyzer analyzer(spectrum, phase);
    return vorn::bench::RunCases(argc, argv, {
        {"parse_and_sum_16384_rows", parseAndSum(spectrum, phase)},
        {"parse_and_sum_16384_rows_long_digits", parseAndSum(longSpectrum, longPhase)},
        {"parse_only_16384_rows", [] {
             int32_t a = 0;
             vorn::ParseSpectrumRows(spectrum.c_str(), kRows, spectrumRows.data(), a);
         }},
        {"sums_only_16384_rows", [] {
             sink = vorn::CorwithNumberFromRows(spectrumRows.data(), phaseRows.data(), kRows, 1.0f);
         }},
        {"compute_corwith_number_in_memory", [] {
             sink = vorn::ComputeCorwithNumber(analyzer, 30.0f, 20000.0f, 1.0f);
         }},
    });
}
