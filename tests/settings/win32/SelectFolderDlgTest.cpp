// The shell's folder browser under Wine.
#include "settings/win32/SelectFolderDlg.h"
#include "support/ScratchFolder.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <thread>

namespace vorn {
namespace {

// A root that does not parse (or would not fit the browser's 260 characters) ends the
// browse with false before any browser shows.
TEST(SelectFolderDlgTest, ARootThatCannotBeParsedGivesFalseWithoutABrowser) {
    test::ScratchFolder scratch{"browse"};
    const std::string folder = test::WindowsPath(scratch.Path());
    for (const std::string& root : {folder + "\\missing", folder + "\\" + std::string(300, 'r')}) {
        CSelectFolderDlg browser;
        browser.rootFolder = root;
        bool shown = false;
        std::thread watcher([&] {
            HWND window = nullptr;
            shown = test::WaitUntil([&] { return (window = test::FindOwnDialog("Browse for Folder")) != nullptr; }, 1000);
            if (shown) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_FALSE(browser.BrowseForFolder()) << root.size() << " characters";
        watcher.join();
        EXPECT_FALSE(shown) << root.size() << " characters";
    }
}

}  // namespace
}  // namespace vorn
