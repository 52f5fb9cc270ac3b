// vornwave calibrate FILE... --channel 0|1|both [fields] [--clear]: sets fields of the
// calibration block a wave file carries, in place and atomically. The file is written
// anew beside itself and moved over the original in one rename, so it is either the old
// file or the whole new one; its samples and other chunks are kept byte for byte.
#pragma once

#include "Command.h"

namespace vorn::cli {

Command CalibrateCommand();

}  // namespace vorn::cli
