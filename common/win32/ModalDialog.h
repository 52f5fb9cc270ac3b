// The base of the program's dialogs: runs a dialog template modally and hands every
// message to the object that runs it. The object travels with WM_INITDIALOG and is kept
// in the window's GWLP_USERDATA; the few messages that come before WM_INITDIALOG
// (WM_SETFONT among them) get the default handling, and after WM_NCDESTROY the object
// no longer refers to the window.
#pragma once

#include <windows.h>

namespace vorn {

class ModalDialog {
public:
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // The dialog's window while it is shown, nullptr before and after.
    HWND Window() const { return hwnd_; }

protected:
    ModalDialog() = default;
    virtual ~ModalDialog() = default;

    // Shows template templateId of instance over parent until EndDialog; returns the
    // result EndDialog was given (-1 when the dialog could not be made).
    INT_PTR RunModal(HINSTANCE instance, int templateId, HWND parent);
    // One message, as a dialog procedure answers it: FALSE for the default handling.
    virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

}  // namespace vorn
