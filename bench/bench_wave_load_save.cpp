// One Load + Save of a wave file in memory mode, as a whole process, for
// bench/wave_load_save.sh to time against sox copying the same file.
//   bench_wave_load_save in.wav out.wav
#include "wave/WaveFile.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s in.wav out.wav\n", argv[0]);
        return 2;
    }
    vorn::TWaveFile wave(argv[1], 0, false, nullptr);
    if (wave.Failed()) return 1;
    wave.SetTargetName(argv[2]);
    return wave.Commit() ? 0 : 1;
}
