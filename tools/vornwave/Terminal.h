// What the tool needs to know of the terminal its progress bar goes to. Terminal.cpp is
// the POSIX side, win32/Terminal.cpp the Windows one.
#pragma once

namespace vorn::cli {

// Whether standard error is a terminal (a bar would only litter a pipe or a log).
bool StderrIsTerminal();
// Columns of the terminal on standard error; 80 when it does not say.
int TerminalWidth();

}  // namespace vorn::cli
