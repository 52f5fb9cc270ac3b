// The shell's folder browser under Wine, answered from a second thread.
#include "settings/win32/SelectFolderDlg.h"
#include "support/ScratchFolder.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <filesystem>
#include <thread>

namespace vorn {
namespace {

constexpr char kBrowserCaption[] = "Browse for Folder";
constexpr int kBrowserTitleId = 14146;
constexpr int kBrowserTreeId = 14145;

std::string TreeRootText(HWND browser) {
    HWND tree = GetDlgItem(browser, kBrowserTreeId);
    char text[MAX_PATH] = {};
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return text;
}

// Browses on this thread; `answer` gets the browser window once it shows (nullptr if
// it never does within the wait) and must close it.
bool Browse(CSelectFolderDlg& browser, int waitMs, const std::function<void(HWND)>& answer) {
    std::thread helper([&] {
        HWND window = nullptr;
        test::WaitUntil([&] { return (window = test::FindOwnDialog(kBrowserCaption)) != nullptr; }, waitMs);
        answer(window);
    });
    const bool chosen = browser.BrowseForFolder();
    helper.join();
    return chosen;
}

TEST(SelectFolderDlgTest, StartsAtTheRootFolderAndGivesTheChosenFolder) {
    test::ScratchFolder scratch{"browse"};
    std::filesystem::create_directory(scratch.path / "Output");
    const std::string chosen = test::WindowsPath(scratch.File("Output"));
    CSelectFolderDlg browser;
    browser.rootFolder = test::WindowsPath(scratch.Path());
    std::string title, root;
    const bool ok = Browse(browser, 10000, [&](HWND window) {
        ASSERT_NE(window, nullptr) << "no folder browser";
        title = test::ItemText(window, kBrowserTitleId);
        root = TreeRootText(window);
        SendMessageA(window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(chosen.c_str()));
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(title, "Open") << "the title when none is set";
    EXPECT_EQ(root, scratch.path.filename().string());
    EXPECT_EQ(browser.folderPath, chosen);
}

TEST(SelectFolderDlgTest, ARootThatCannotBeParsedGivesFalseWithoutABrowser) {
    test::ScratchFolder scratch{"browse"};
    for (const std::string& root : {test::WindowsPath(scratch.File("missing")),
                                    test::WindowsPath(scratch.Path()) + "\\" + std::string(300, 'r')}) {
        CSelectFolderDlg browser;
        browser.rootFolder = root;
        bool shown = false;
        EXPECT_FALSE(Browse(browser, 1000, [&](HWND window) {
            shown = window != nullptr;
            if (window) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        })) << root.size() << " characters";
        EXPECT_FALSE(shown) << root.size() << " characters";
    }
}

}  // namespace
}  // namespace vorn
