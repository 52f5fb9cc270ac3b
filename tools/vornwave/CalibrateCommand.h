// vornwave calibrate FILE... --channel 0|1|both [fields] [--clear]: sets fields of the
// calibration block a wave file carries, in place and atomically. The file is rebuilt
// beside itself from a working copy and moved over the original in one rename, so it is
// either the old file or the whole new one; its samples are kept byte for byte.
#pragma once

#include "Command.h"

namespace vorn::cli {

Command CalibrateCommand();

}  // namespace vorn::cli
