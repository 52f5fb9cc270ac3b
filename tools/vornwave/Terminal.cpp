#include "Terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace vorn::cli {

bool StderrIsTerminal() { return isatty(STDERR_FILENO) != 0; }

int TerminalWidth() {
    winsize size{};
    return ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

}  // namespace vorn::cli
