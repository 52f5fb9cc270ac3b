// The shell's folder browser: set `title` (and `rootFolder` to start below the desktop),
// call BrowseForFolder, read `folderPath`. Only file-system folders can be chosen.
#pragma once

#include <windows.h>

#include <string>

namespace vorn {

class CSelectFolderDlg {
public:
    virtual ~CSelectFolderDlg() = default;

    // True when the operator chose a folder and its file-system path is in folderPath;
    // false when the browser was cancelled or failed.
    bool BrowseForFolder();

    std::string folderPath;  // the chosen folder, at most 259 characters
    std::string rootFolder;  // where the browser starts; empty for the desktop
    std::string title;       // shown above the tree; "Open" when empty
    std::string startFolder; // selected when the browser opens; none when empty
    HWND owner = nullptr;    // disabled while the browser is shown
    int imageIndex = 0;      // the system image list index of the chosen item
};

}  // namespace vorn
