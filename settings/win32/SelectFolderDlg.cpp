#include "settings/win32/SelectFolderDlg.h"

#include <windows.h>
#include <shlobj.h>

namespace vorn {

namespace {

// Releases a COM interface pointer when it goes out of scope.
template <typename T>
struct Released {
    T* p = nullptr;
    ~Released() {
        if (p) p->Release();
    }
};

// The item list of a folder path below the desktop; nullptr when the path is longer than
// the browser takes (260 characters with the end) or does not name a folder.
LPITEMIDLIST ParseFolder(const std::string& folder) {
    Released<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(&desktop.p))) return nullptr;
    wchar_t wide[MAX_PATH];
    // A path that does not fit fails here rather than reaching the parser unterminated.
    if (MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide, MAX_PATH) == 0) return nullptr;
    LPITEMIDLIST items = nullptr;
    if (FAILED(desktop.p->ParseDisplayName(nullptr, nullptr, wide, nullptr, &items, nullptr))) return nullptr;
    return items;
}

// The shell expects COM on the calling thread; a thread that has it already keeps it.
struct ComApartment {
    HRESULT status = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ~ComApartment() {
        if (SUCCEEDED(status)) CoUninitialize();
    }
};

int CALLBACK SelectStartFolder(HWND browser, UINT message, LPARAM, LPARAM folder) {
    if (message == BFFM_INITIALIZED && folder) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, folder);
    return 0;
}

}  // namespace

bool CSelectFolderDlg::BrowseForFolder() {
    ComApartment com;
    Released<IMalloc> allocator;
    if (FAILED(SHGetMalloc(&allocator.p))) return false;

    LPITEMIDLIST root = nullptr;
    if (!rootFolder.empty() && !(root = ParseFolder(rootFolder))) return false;

    char displayName[MAX_PATH] = {};
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.pidlRoot = root;
    info.pszDisplayName = displayName;
    info.lpszTitle = title.empty() ? "Open" : title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
    if (!startFolder.empty()) {
        info.lpfn = SelectStartFolder;
        info.lParam = reinterpret_cast<LPARAM>(startFolder.c_str());
    }
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (root) allocator.p->Free(root);
    if (!chosen) return false;

    imageIndex = info.iImage;
    char path[MAX_PATH] = {};
    const bool converted = SHGetPathFromIDListA(chosen, path) != FALSE;
    allocator.p->Free(chosen);
    folderPath = converted ? path : displayName;
    return converted;
}

}  // namespace vorn
