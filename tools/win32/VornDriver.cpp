// VornDriver.exe: works a running program's dialogs as an operator does, from outside,
// for scripts and tests. It needs nothing inside the program: it finds top-level
// dialogs by caption, clicks buttons by id, reads control texts and answers message
// boxes. Each command prints its result on standard output; the exit code is 0 on
// success, 1 when the window or control was not found in time, 2 on bad usage.
// A control <id> is its name in resources/resource.h (IDC_CAPTURE_SEALED), one of
// IDOK, IDCANCEL, IDYES and IDNO, or its number.
//
//   VornDriver wait   <caption> [timeout-ms]        wait for a visible dialog
//   VornDriver gone   <caption> [timeout-ms]        wait until no such dialog is left
//   VornDriver text   <caption> <id> [id...]       print controls' texts, one a line
//   VornDriver click  <caption> <id>                press a button (posted, so a box it opens does not block us)
//   VornDriver enabled <caption> <id> [id...]       print 1 (enabled) or 0 for each control, one a line
//   VornDriver close  <caption>                     ask the window (a dialog or any other) to close (WM_CLOSE)
//   VornDriver escape <caption>                     press Escape in the dialog
//   VornDriver answer <caption> <yes|no|ok> [timeout-ms]  wait for a message box, print its text, press the button
//   VornDriver waittext <caption> <id> <prefix> [timeout-ms]  wait until a control's text starts with prefix
//   VornDriver clickwait <caption> <id> <id2> <prefix> [timeout-ms]  press a button, wait until control id2's
//                                                 text (once it has changed) starts with prefix, print the seconds
//   VornDriver settext <caption> <id> <text>      set a control's text (an edit field's contents)
//   VornDriver key    <caption> <virtual-key>     post a key press (down and up) to the dialog, e.g. 27 = Escape
//   VornDriver lclick <caption>                   post a left-button press and release inside the dialog
//   VornDriver file   <caption> <path> [timeout-ms]  wait for an open or save file dialog, enter the path,
//                                                 accept it and wait until the dialog has gone
//   VornDriver checked <caption> <id>               print a check box's state (1 ticked, 0 not)
//   VornDriver check  <caption> <id> <0|1>          tick or untick a check box
//   VornDriver combo  <caption> <id>                print a combo box's entry count and selected position (-1: none)
//   VornDriver browse <caption> <folder>            in a shell folder browser: print its title, select the
//                                                 folder and press OK
// Faults, ownership and resources (any top-level window, not only dialogs):
//   VornDriver activate <caption>                   make the window the active, foreground one
//   VornDriver move <caption> <x> <y>               move the window's top-left corner to x, y (pixels)
//   VornDriver mouseclick <caption> <id> [count]    a real mouse click at the control's centre, as an
//                                                 operator's arrives (a disabled window does not get it);
//                                                 count 2 is a double-click
//   VornDriver keys <caption> <key...>              real key presses into the window, which is made the
//                                                 active one first: Tab, Enter, Escape, Space, or text
//   VornDriver focus <caption>                      print the name (or number) of the control that has the
//                                                 keyboard, "none" when no control has it
//   VornDriver boxowner <caption> [timeout-ms]      wait for a message box, print "text|owner caption|owner enabled"
//   VornDriver counts <caption>                     print the owning process's "handles gdi user windows private-KiB"
//   VornDriver placement <caption>                  print "owner caption|dx dy": how far the window's centre
//                                                 lies from its owner's (the work area's without an owner)
#include "resources/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shlobj.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

struct ControlName {
    const char* name;
    int id;
};

constexpr ControlName kControlNames[] = {
#include "ControlNames.inc"
    {"IDOK", IDOK}, {"IDCANCEL", IDCANCEL}, {"IDYES", IDYES}, {"IDNO", IDNO},
};

// The id a script names; an unknown name gives one that no control has.
int ControlId(const char* word) {
    if ((*word >= '0' && *word <= '9') || *word == '-') return std::atoi(word);
    for (const ControlName& control : kControlNames)
        if (std::strcmp(word, control.name) == 0) return control.id;
    return -2;
}

HWND FindDialog(const char* caption) {
    HWND h = nullptr;
    while ((h = FindWindowExA(nullptr, h, "#32770", caption)))
        if (IsWindowVisible(h)) return h;
    return nullptr;
}

template <typename F>
bool WaitFor(int timeoutMs, F done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// WM_GETTEXT rather than GetWindowText: for another process's window GetWindowText
// gives only the text the window was created with, not what an edit field holds now.
std::string Text(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        5000, &ignored);
    text.resize(std::strlen(text.c_str()));
    return text;
}

// Another process's memory for the length of one message: the folder browser and its
// tree take and give their texts through pointers in their own address space.
class RemoteBlock {
public:
    RemoteBlock(HANDLE process, std::size_t size)
        : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteBlock() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    char* Address() const { return static_cast<char*>(address_); }
    bool Write(const void* data, std::size_t size, std::size_t offset = 0) const {
        return address_ && WriteProcessMemory(process_, Address() + offset, data, size, nullptr);
    }
    bool Read(void* data, std::size_t size) const {
        return address_ && ReadProcessMemory(process_, address_, data, size, nullptr);
    }

private:
    HANDLE process_;
    void* address_;
};

constexpr int kBrowserTitleId = 14146;  // the static above the folder tree
constexpr int kBrowserTreeId = 14145;

LRESULT SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result)) return 0;
    return static_cast<LRESULT>(result);
}

std::string SelectedTreeItemText(HWND tree, HANDLE process) {
    const auto item = reinterpret_cast<HTREEITEM>(SendWithin(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item) return {};
    struct Query {
        TVITEMA item;
        char text[MAX_PATH];
    };
    RemoteBlock remote(process, sizeof(Query));
    Query query = {};
    query.item.mask = TVIF_TEXT;
    query.item.hItem = item;
    query.item.pszText = remote.Address() + offsetof(Query, text);
    query.item.cchTextMax = MAX_PATH;
    if (!remote.Write(&query, sizeof query)) return {};
    SendWithin(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.Address()));
    if (!remote.Read(&query, sizeof query)) return {};
    query.text[MAX_PATH - 1] = '\0';
    return query.text;
}

// Selects the folder in the browser's tree and checks that its last part is what the
// tree then has selected; the browser's own expansion has been seen to stop at the root
// (more often on a loaded machine), so the selection is tried again for up to 5 s.
bool SelectInFolderBrowser(HWND browser, const std::string& folder) {
    DWORD pid = 0;
    GetWindowThreadProcessId(browser, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return false;
    const std::string last = folder.substr(folder.find_last_of('\\') + 1);
    bool selected = false;
    for (int attempt = 0; attempt < 25 && !selected; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(200));
        RemoteBlock path(process, folder.size() + 1);
        if (!path.Write(folder.c_str(), folder.size() + 1)) break;
        SendWithin(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path.Address()));
        selected = lstrcmpiA(SelectedTreeItemText(GetDlgItem(browser, kBrowserTreeId), process).c_str(),
                             last.c_str()) == 0;
    }
    CloseHandle(process);
    return selected;
}

int Usage() {
    std::fprintf(stderr, "usage: VornDriver wait|gone|text|click|enabled|close|escape|answer|waittext|clickwait|"
                         "settext|key|file|checked|check|combo|browse|activate|move|mouseclick|keys|focus|boxowner|counts "
                         "<caption> ...\n"
                         "       VornDriver hold <file> <release-file> [ms]\n");
    return 2;
}

int Fail(const char* what, const char* caption) {
    std::fprintf(stderr, "VornDriver: %s \"%s\" not found\n", what, caption);
    return 1;
}

// ---- faults, ownership and resources ----------------------------------------------
HWND FindTopLevel(const char* caption) {
    HWND h = nullptr;
    while ((h = FindWindowExA(nullptr, h, nullptr, caption)))
        if (IsWindowVisible(h)) return h;
    return nullptr;
}

void MouseClickAt(HWND control, int count) {
    RECT r;
    GetWindowRect(control, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    for (int i = 0; i < count; ++i) {
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(150));  // a person's double-click
        INPUT clicks[2] = {};
        clicks[0].type = clicks[1].type = INPUT_MOUSE;
        clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, clicks, sizeof(INPUT));
    }
}

void PressKey(WORD key, bool shift) {
    INPUT presses[4] = {};
    int n = 0;
    auto add = [&](WORD vk, DWORD flags) {
        presses[n].type = INPUT_KEYBOARD;
        presses[n].ki.wVk = vk;
        presses[n].ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
        presses[n++].ki.dwFlags = flags;
    };
    if (shift) add(VK_SHIFT, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (shift) add(VK_SHIFT, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(n), presses, sizeof(INPUT));
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
}

void PressKeys(int argc, char** argv, int first) {
    const struct {
        const char* name;
        WORD key;
    } kNamed[] = {{"Tab", VK_TAB}, {"Enter", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Space", VK_SPACE}};
    for (int i = first; i < argc; ++i) {
        bool named = false;
        for (const auto& k : kNamed)
            if (std::strcmp(argv[i], k.name) == 0) {
                PressKey(k.key, false);
                named = true;
            }
        if (named) continue;
        for (const char* c = argv[i]; *c; ++c) {
            const SHORT scan = VkKeyScanA(*c);
            PressKey(static_cast<WORD>(scan & 0xFF), (scan & 0x100) != 0);
        }
    }
}

std::string FocusName(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus) return "none";
    const int id = GetDlgCtrlID(info.hwndFocus);
    for (const ControlName& control : kControlNames)
        if (control.id == id) return control.name;
    return std::to_string(id);
}

// The process's handles as the system's handle table lists them: GetProcessHandleCount
// of another process gives 0 under Wine, the table is filled on both.
unsigned long CountHandles(DWORD pid) {
    struct Entry {
        ULONG ownerPid;
        BYTE objectType, flags;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    const ULONG kSystemHandleInformation = 16;
    while (query && query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) ==
                        static_cast<LONG>(0xC0000004))  // buffer too small
        buffer.resize(buffer.size() * 2);
    const ULONG count = *reinterpret_cast<ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(void*));
    unsigned long mine = 0;
    for (ULONG i = 0; i < count && sizeof(void*) + (i + 1) * sizeof(Entry) <= buffer.size(); ++i)
        mine += entries[i].ownerPid == pid;
    return mine;
}

// Windows of the process, top-level and child: what USER objects stand for where the
// system does not count them (GetGuiResources gives 0 under Wine).
unsigned long CountWindows(DWORD pid) {
    struct Count {
        DWORD pid;
        unsigned long n = 0;
    } count{pid};
    auto top = [](HWND w, LPARAM c) -> BOOL {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        auto* total = reinterpret_cast<Count*>(c);
        if (owner != total->pid) return TRUE;
        ++total->n;
        EnumChildWindows(w, [](HWND, LPARAM n) -> BOOL { ++reinterpret_cast<Count*>(n)->n; return TRUE; }, c);
        return TRUE;
    };
    EnumWindows(top, reinterpret_cast<LPARAM>(&count));
    return count.n;
}

// "handles gdi user windows private-KiB" of the process that owns window.
int PrintCounts(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return 1;
    DWORD handles = 0;
    if (!GetProcessHandleCount(process, &handles) || handles == 0) handles = CountHandles(pid);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    std::printf("%lu %lu %lu %lu %llu\n", handles, GetGuiResources(process, GR_GDIOBJECTS),
                GetGuiResources(process, GR_USEROBJECTS), CountWindows(pid),
                static_cast<unsigned long long>(memory.PrivateUsage / 1024));
    CloseHandle(process);
    return 0;
}

int RunWindowCommand(const std::string& command, int argc, char** argv) {
    const char* caption = argv[2];
    if (command == "boxowner") {
        HWND box = nullptr;
        const int timeout = argc > 3 ? std::atoi(argv[3]) : 10000;
        if (!WaitFor(timeout, [&] { return (box = FindDialog(caption)) && GetDlgItem(box, 0xFFFF); }))
            return Fail("message box", caption);
        HWND owner = GetWindow(box, GW_OWNER);
        std::printf("%s|%s|%d\n", Text(GetDlgItem(box, 0xFFFF)).c_str(), owner ? Text(owner).c_str() : "",
                    owner && IsWindowEnabled(owner) ? 1 : 0);
        return 0;
    }
    HWND window = FindTopLevel(caption);
    if (!window) return Fail("window", caption);
    if (command == "activate") return SetForegroundWindow(window) ? 0 : 1;
    if (command == "counts") return PrintCounts(window);
    if (command == "move" && argc > 4)
        return SetWindowPos(window, nullptr, std::atoi(argv[3]), std::atoi(argv[4]), 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 1;
    if (command == "mouseclick" && argc > 3) {
        HWND control = GetDlgItem(window, ControlId(argv[3]));
        if (!control) return Fail("control", argv[3]);
        MouseClickAt(control, argc > 4 ? std::atoi(argv[4]) : 1);
        return 0;
    }
    if (command == "keys") {
        SetForegroundWindow(window);
        PressKeys(argc, argv, 3);
        return 0;
    }
    if (command == "focus") {
        std::printf("%s\n", FocusName(window).c_str());
        return 0;
    }
    if (command == "placement") {
        HWND owner = GetWindow(window, GW_OWNER);
        RECT box, centre;
        GetWindowRect(window, &box);
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
        centre = monitor.rcWork;
        if (owner) GetWindowRect(owner, &centre);
        std::printf("%s|%ld %ld\n", owner ? Text(owner).c_str() : "",
                    (box.left + box.right - centre.left - centre.right) / 2,
                    (box.top + box.bottom - centre.top - centre.bottom) / 2);
        return 0;
    }
    return Usage();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string command = argv[1];
    const char* caption = argv[2];
    auto number = [&](int index, int fallback) { return argc > index ? std::atoi(argv[index]) : fallback; };
    // Holds a file open for reading without write sharing, as spreadsheet programs hold
    // the files they show, until a second file appears (or the time-out passes).
    if (command == "hold") {
        if (argc < 4) return Usage();
        HANDLE file = CreateFileA(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return Fail("file", argv[2]);
        std::printf("held\n");
        std::fflush(stdout);
        WaitFor(number(4, 120000), [&] { return GetFileAttributesA(argv[3]) != INVALID_FILE_ATTRIBUTES; });
        CloseHandle(file);
        return 0;
    }
    for (const char* windowCommand : {"activate", "move", "mouseclick", "boxowner", "counts", "keys", "focus", "placement"})
        if (command == windowCommand) return RunWindowCommand(command, argc, argv);

    if (command == "wait") {
        return WaitFor(number(3, 10000), [&] { return FindDialog(caption) != nullptr; }) ? 0 : Fail("window", caption);
    }
    if (command == "gone") {
        return WaitFor(number(3, 10000), [&] { return FindDialog(caption) == nullptr; }) ? 0 : 1;
    }
    if (command == "answer") {
        if (argc < 4) return Usage();
        const std::string choice = argv[3];
        const int button = choice == "yes" ? IDYES : choice == "no" ? IDNO : IDOK;
        HWND box = nullptr;
        if (!WaitFor(number(4, 10000), [&] { return (box = FindDialog(caption)) && GetDlgItem(box, 0xFFFF); }))
            return Fail("message box", caption);
        std::printf("%s\n", Text(GetDlgItem(box, 0xFFFF)).c_str());
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
        return 0;
    }

    if (command == "file") {
        if (argc < 4) return Usage();
        HWND chooser = nullptr;
        if (!WaitFor(number(4, 10000), [&] { return (chooser = FindDialog(caption)) != nullptr; }))
            return Fail("file dialog", caption);
        // The Explorer-style dialog's file-name field is 1148 (a combo box edit); the old style's 1152.
        HWND name = GetDlgItem(chooser, 1148) ? GetDlgItem(chooser, 1148) : GetDlgItem(chooser, 1152);
        if (!name) return Fail("file-name field of", caption);
        SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
        // Posted: accepting may bring up a question (replace the file?) that would block us.
        PostMessageA(GetDlgItem(chooser, IDOK), BM_CLICK, 0, 0);
        return WaitFor(number(4, 10000), [&] { return !IsWindow(chooser) || !IsWindowVisible(chooser); }) ? 0 : 1;
    }

    HWND dialog = FindDialog(caption);
    if (!dialog && command == "close") dialog = FindTopLevel(caption);  // any window may be closed
    if (!dialog) return Fail("window", caption);
    if (command == "key") {
        if (argc < 4) return Usage();
        const WPARAM key = static_cast<WPARAM>(std::atoi(argv[3]));
        PostMessageA(dialog, WM_KEYDOWN, key, 1);
        PostMessageA(dialog, WM_KEYUP, key, 0xC0000001);
        return 0;
    }
    if (command == "lclick") {
        PostMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        PostMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        return 0;
    }
    if (command == "close") {
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return 0;
    }
    if (command == "escape") {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    }
    if (command == "browse") {
        if (argc < 4) return Usage();
        std::printf("%s\n", Text(GetDlgItem(dialog, kBrowserTitleId)).c_str());
        if (!SelectInFolderBrowser(dialog, argv[3])) return Fail("folder", argv[3]);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        return 0;
    }
    if (argc < 4) return Usage();
    HWND control = GetDlgItem(dialog, ControlId(argv[3]));
    if (!control) return Fail("control", argv[3]);
    if (command == "settext") {
        if (argc < 5) return Usage();
        SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
        return 0;
    }
    if (command == "text") {  // more ids may follow: one line each
        std::printf("%s\n", Text(control).c_str());
        for (int i = 4; i < argc; ++i) std::printf("%s\n", Text(GetDlgItem(dialog, ControlId(argv[i]))).c_str());
        return 0;
    }
    if (command == "checked") {
        std::printf("%d\n", SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
        return 0;
    }
    if (command == "check") {
        if (argc < 5) return Usage();
        SendMessageA(control, BM_SETCHECK, std::atoi(argv[4]) ? BST_CHECKED : BST_UNCHECKED, 0);
        return 0;
    }
    if (command == "combo") {
        std::printf("%d %d\n", static_cast<int>(SendMessageA(control, CB_GETCOUNT, 0, 0)),
                    static_cast<int>(SendMessageA(control, CB_GETCURSEL, 0, 0)));
        return 0;
    }
    if (command == "enabled") {  // more ids may follow: one line each
        std::printf("%d\n", IsWindowEnabled(control) ? 1 : 0);
        for (int i = 4; i < argc; ++i) std::printf("%d\n", IsWindowEnabled(GetDlgItem(dialog, ControlId(argv[i]))) ? 1 : 0);
        return 0;
    }
    if (command == "click") {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
        return 0;
    }
    if (command == "clickwait") {
        if (argc < 6) return Usage();
        HWND watched = GetDlgItem(dialog, ControlId(argv[4]));
        if (!watched) return Fail("control", argv[4]);
        const std::string prefix = argv[5];
        const auto start = std::chrono::steady_clock::now();
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
        // The label may still show the last run's result until the press is handled.
        const int timeout = number(6, 600000);
        const bool ok = WaitFor(timeout, [&] { return Text(watched).rfind(prefix, 0) != 0; }) &&
                        WaitFor(timeout, [&] { return Text(watched).rfind(prefix, 0) == 0; });
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf("%.3f\n", took.count());
        return ok ? 0 : 1;
    }
    if (command == "waittext") {
        if (argc < 5) return Usage();
        const std::string prefix = argv[4];
        const bool ok = WaitFor(number(5, 10000), [&] { return Text(control).rfind(prefix, 0) == 0; });
        std::printf("%s\n", Text(control).c_str());
        return ok ? 0 : 1;
    }
    return Usage();
}
