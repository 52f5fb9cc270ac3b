// The report of the given journals written to a file: made complete under a temporary
// name beside it, then put in place of the report before, so a reader never sees half.
#pragma once

#include "results/ReportSources.h"

#include <string>

namespace vorn {

// False with the reason when the report could not be written.
bool WriteReportFile(const ReportSources& sources, const std::string& output, std::string& error);

}  // namespace vorn
