#include "app/win32/VORNApp.h"

#include "app/win32/SystemClock.h"
#include "app/win32/VORNDlg.h"
#include "common/MessageSink.h"
#include "common/win32/MessageBoxSink.h"
#include "settings/SettingsStore.h"
#include "settings/win32/PrivateProfileFile.h"

#include <commctrl.h>

#include <vector>

namespace vorn {

std::string ExecutablePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);  // truncated: try a bigger buffer
    }
}

std::string ApplicationTitleFromPath(const std::string& executablePath) {
    std::string name = executablePath.substr(executablePath.find_last_of("\\/:") + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

int CVORNApp::Run(HINSTANCE instance, AnalyzerConnection& link) {
    const std::string exe = ExecutablePath();
    SetApplicationTitle(ApplicationTitleFromPath(exe));
    MessageBoxSink messageBoxes;
    SetMessageSink(&messageBoxes);

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    IniPath = BuildIniPath(exe);
    PrivateProfileFile settingsFile(IniPath);
    {
        SystemClock clock;
        CVORNDlg dialog(instance, settingsFile, link, clock);
        dialog.DoModal();
    }  // the dialog's destruction writes the settings
    SetMessageSink(nullptr);
    return 0;
}

}  // namespace vorn
