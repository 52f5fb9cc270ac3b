// vornwave report JOURNAL... [-o FILE]: the results report of one or more journals, merged
// by time, as one self-contained HTML file.
#pragma once

#include "Command.h"

namespace vorn::cli {

Command ReportCommand();

}  // namespace vorn::cli
