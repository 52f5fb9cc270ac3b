#include "dsp/FirKernel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace vorn::fir {

namespace {

// The plain loop every kernel has to reproduce bit for bit.
std::vector<double> Reference(const std::vector<double>& in, const std::vector<double>& c, uint32_t outputs) {
    std::vector<double> out(outputs);
    for (uint32_t i = 0; i < outputs; ++i) {
        double acc = 0.0;
        for (size_t k = 0; k < c.size(); ++k) acc += in[i + k] * c[k];
        out[i] = acc;
    }
    return out;
}

void ExpectKernelMatchesReference(ConvolveFunction kernel) {
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> sample(-32768, 32767);
    std::uniform_real_distribution<float> coefficient(-1.0f, 1.0f);
    const float gains[] = {1.0f, 0.70794576f, 31622.777f};
    const int32_t tapCounts[] = {1, 2, 3, 5, 7, 16, 31, 39, 41, 64, 999};
    const uint32_t outputCounts[] = {0, 1, 2, 3, 5, 15, 16, 17, 31, 32, 33, 63, 100, 1001};
    for (int32_t taps : tapCounts) {
        for (uint32_t outputs : outputCounts) {
            const float gain = gains[(taps + outputs) % 3];
            std::vector<double> in(outputs + taps - 1);
            for (double& v : in) v = double(sample(rng)) * gain;
            std::vector<double> c(taps);
            for (double& v : c) v = coefficient(rng);
            const std::vector<double> want = Reference(in, c, outputs);
            // Sentinels behind the outputs catch writes past the end.
            std::vector<double> got(outputs + 8, 12345.0);
            kernel(in.data(), c.data(), taps, got.data(), outputs);
            SCOPED_TRACE("taps " + std::to_string(taps) + ", outputs " + std::to_string(outputs));
            for (uint32_t i = 0; i < outputs; ++i) {
                if (std::memcmp(&got[i], &want[i], sizeof(double)) != 0) {
                    ADD_FAILURE() << "output " << i << ": " << got[i] << " != " << want[i];
                    break;
                }
            }
            for (uint32_t i = outputs; i < got.size(); ++i) ASSERT_EQ(got[i], 12345.0);
        }
    }
}

}  // namespace

TEST(FirKernelTest, ScalarKernelSumsInAscendingOrder) { ExpectKernelMatchesReference(ConvolveScalar); }

TEST(FirKernelTest, Sse2KernelIsBitIdenticalToThePlainLoop) { ExpectKernelMatchesReference(ConvolveSse2); }

TEST(FirKernelTest, Avx2KernelIsBitIdenticalToThePlainLoop) {
    if (!Avx2Available()) GTEST_SKIP() << "this CPU has no AVX2";
    ExpectKernelMatchesReference(ConvolveAvx2);
}

TEST(FirKernelTest, BestKernelFollowsTheCpuCheck) {
    EXPECT_EQ(BestConvolve(), Avx2Available() ? ConvolveAvx2 : ConvolveSse2);
}

}  // namespace vorn::fir
