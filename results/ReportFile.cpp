#include "results/ReportFile.h"

#include "results/HtmlReport.h"
#include "results/TextFile.h"
#include "wave/FileSystem.h"

namespace vorn {

bool WriteReportFile(const ReportSources& sources, const std::string& output, std::string& error) {
    const std::string fresh = output + ".new" + std::to_string(ProcessNumber());
    if (WriteNewFile(fresh, HtmlReport::Build(sources), false) && ReplaceFile(fresh, output)) return true;
    RemoveFile(fresh);
    error = output + ": cannot be written";
    return false;
}

}  // namespace vorn
