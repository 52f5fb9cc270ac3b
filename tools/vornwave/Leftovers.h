// What a stopped run leaves behind is removed: the unfinished temporary files ("wav*.tmp")
// that saves make beside their targets. Each job notes the folder it writes into before it
// starts; on an interrupt, file steps are held, and the temporary files that appeared in
// the noted folders since are removed. Inputs and finished outputs are never touched: a
// save becomes its target in one rename, which either happened or never will.
#pragma once

#include <string>

namespace vorn::cli {

// Remembers the temporary files that are in the folder now, which are not this run's.
// Jobs running side by side may call it at once; once the run is stopping it waits.
void NoteOutputFolder(const std::string& folder);
// Holds every further file step of the work, removes what the run left unfinished, says
// so on standard error and ends the process with `status`. Called from the interrupt's
// own thread, never from a signal handler.
[[noreturn]] void StopAndClean(int status);

// Starts watching for Ctrl-C, SIGTERM and a closed console (Interrupt.cpp and its
// Windows twin); each ends the run through StopAndClean with status 130 (SIGINT) or
// 128 + the signal. Called once, before any work starts.
void WatchInterrupts();
// Makes every file step wait while a stop is cleaning up. The wave classes keep the hook
// in one plain pointer, so it is set once here, before any job thread runs.
void HoldFileStepsWhenStopping();

}  // namespace vorn::cli
