// Waits that keep a window alive while its thread is busy with a step that must not be
// interrupted. Mouse and key input made meanwhile is dropped, since the buttons it was
// aimed at will by then mean something else; the close request (the caption's close
// button, Alt+F4) and the system's own messages are kept for when the wait is over.
#pragma once

#include <windows.h>

namespace vorn {

// Blocks for exactly the given time while repainting the thread's windows and answering
// the messages other threads and the system send to them.
void WaitResponsively(DWORD milliseconds);

// Drops the mouse and key input queued for this thread since tick count `since`; an
// Alt+F4 among it becomes a close request to its window.
void DiscardInputSince(DWORD since);

}  // namespace vorn
