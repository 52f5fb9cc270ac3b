// The platform's file dialogs for one wave file, as every dialog of the program asks for
// one: only *.wav files listed, ".wav" added to a name typed without an extension, the
// process's current folder left alone. The open dialog takes only a file that exists;
// the save dialog asks before it replaces one.
#pragma once

#include <windows.h>

#include <string>

namespace vorn {

enum class FileDialogKind { Open, Save };

// Shows the dialog over owner, starting in initialFolder. True with the chosen path (at
// most MAX_PATH - 1 characters) when the operator confirmed one.
bool AskWaveFile(HWND owner, FileDialogKind kind, const char* title, const std::string& initialFolder,
                 std::string& path);

}  // namespace vorn
