// VORN.exe: the test-control program.
#include "analyzer/win32/AnalyzerLink.h"
#include "app/win32/VORNApp.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    vorn::AnalyzerLink link;
    vorn::CVORNApp app;
    return app.Run(instance, link);
}
