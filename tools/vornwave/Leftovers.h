// What a stopped run leaves behind is removed: the unfinished temporary files ("wav*.tmp")
// that saves make beside their targets. Each job notes the folder it writes into before it
// starts; on an interrupt, file steps are held, and the temporary files that appeared in
// the noted folders since are removed. Inputs and finished outputs are never touched: a
// save becomes its target in one rename, which either happened or never will.
#pragma once

#include <string>

namespace vorn::cli {

// Remembers the temporary files that are in the folder now, which are not this run's.
void NoteOutputFolder(const std::string& folder);
// Holds every further file step of the work, removes what the run left unfinished, says
// so on standard error and ends the process with `status`. Called from the interrupt's
// own thread, never from a signal handler.
[[noreturn]] void StopAndClean(int status);

// Starts watching for Ctrl-C, SIGTERM and a closed console (Interrupt.cpp and its
// Windows twin); each ends the run through StopAndClean with status 130 (SIGINT) or
// 128 + the signal.
void WatchInterrupts();

}  // namespace vorn::cli
