// The subcommands of vornwave. A new one is a <Name>Command.{h,cpp} pair and one row here.
#include "Command.h"

#include "CalibrateCommand.h"
#include "FilterCommand.h"
#include "InfoCommand.h"
#include "ProbeCommand.h"
#include "ReportCommand.h"

namespace vorn::cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> table = {
        InfoCommand(),
        ProbeCommand(),
        FilterCommand(),
        CalibrateCommand(),
        ReportCommand(),
    };
    return table;
}

}  // namespace vorn::cli
