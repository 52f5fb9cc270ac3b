// vornwave filter: filters wave files with the program's FIR filter (lowpass, highpass,
// band-pass, band-stop or a frequency/dB response table), or prints a design's response.
#pragma once

#include "Command.h"

namespace vorn::cli {

Command FilterCommand();

}  // namespace vorn::cli
