#include "settings/win32/SelectFolderDlg.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <thread>

namespace vorn {
namespace {

// A root folder longer than the browser takes (259 characters) never reaches the parser.
TEST(SelectFolderDlgTest, ARootFolderTooLongForTheBrowserGivesFalse) {
    CSelectFolderDlg browser;
    browser.rootFolder = "C:\\" + std::string(300, 'r');
    bool shown = false;
    std::thread watcher([&] {
        HWND window = nullptr;
        shown = test::WaitUntil([&] { return (window = test::FindOwnDialog("Browse for Folder")) != nullptr; }, 1000);
        if (shown) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(browser.BrowseForFolder());
    watcher.join();
    EXPECT_FALSE(shown);
}

}  // namespace
}  // namespace vorn
