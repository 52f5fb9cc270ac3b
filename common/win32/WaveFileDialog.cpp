#include "common/win32/WaveFileDialog.h"

#include <commdlg.h>

namespace vorn {

bool AskWaveFile(HWND owner, FileDialogKind kind, const char* title, const std::string& initialFolder,
                 std::string& path) {
    char file[MAX_PATH] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = "Wave Files (*.wav)\0*.wav\0";  // the double NUL ends the list
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = initialFolder.c_str();
    ofn.lpstrTitle = title;
    ofn.lpstrDefExt = "wav";  // without "*.": the dialog appends it to a bare name
    const bool save = kind == FileDialogKind::Save;
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!(save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn))) return false;
    path = file;
    return true;
}

}  // namespace vorn
