// vornwave info FILE...: format, frames, duration, peak level per channel and, when the
// file carries one, the fields of its calibration block.
#pragma once

#include "Command.h"

namespace vorn::cli {

Command InfoCommand();

}  // namespace vorn::cli
