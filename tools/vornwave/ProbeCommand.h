// vornwave probe: the probe-tone tool of the settings dialog for batches of files, with
// its ranges, messages and output, byte for byte.
#pragma once

#include "Command.h"

namespace vorn::cli {

Command ProbeCommand();

}  // namespace vorn::cli
