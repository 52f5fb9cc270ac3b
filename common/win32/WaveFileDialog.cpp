#include "common/win32/WaveFileDialog.h"

#include <commdlg.h>

namespace vorn {

namespace {

bool EndsInWav(const std::string& path) {
    return path.size() >= 4 && lstrcmpiA(path.c_str() + path.size() - 4, ".wav") == 0;
}

// The dialog asked about replacing the name as typed, not the one with ".wav" appended.
bool MayReplace(HWND owner, const char* title, const std::string& path) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    const std::string question = path + " already exists.\nDo you want to replace it?";
    return MessageBoxA(owner, question.c_str(), title, MB_YESNO | MB_ICONWARNING) == IDYES;
}

bool AskOnce(HWND owner, FileDialogKind kind, const char* title, const std::string& initialFolder,
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

}  // namespace

// The dialog appends its default extension only to a name without any, so "probe 226.7"
// would be saved without ".wav": a saved name gets it whenever it does not end in it.
bool AskWaveFile(HWND owner, FileDialogKind kind, const char* title, const std::string& initialFolder,
                 std::string& path) {
    for (;;) {
        if (!AskOnce(owner, kind, title, initialFolder, path)) return false;
        if (kind != FileDialogKind::Save || EndsInWav(path)) return true;
        path += ".wav";
        if (MayReplace(owner, title, path)) return true;
    }
}

}  // namespace vorn
