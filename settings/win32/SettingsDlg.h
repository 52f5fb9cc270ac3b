// The "Settings" dialog (template 130): edits the main dialog's settings record. The
// entries are checked when OK is pressed and reach the record only when every check
// passes; Cancel leaves the record as it was, except that a device list with exactly
// one device stores index 0 as soon as the dialog opens. The rules live in the portable
// SettingsEntries, SettingsValidation and WaveDeviceList; this class moves their values
// in and out of the controls.
#pragma once

#include "common/win32/ModalDialog.h"
#include "settings/SettingsEntries.h"
#include "settings/TestSettings.h"
#include "settings/WaveDeviceList.h"

#include <windows.h>

#include <functional>

namespace vorn {

class CSettingsDlg final : public ModalDialog {
public:
    // Runs the probe-tone tool over the settings dialog (its button). The settings
    // library cannot see that tool, so whoever opens this dialog supplies it.
    using ProbeToneAction = std::function<void(HWND settingsDialog)>;

    // settings: the main dialog's record itself, not a copy. The device lists are winmm's.
    CSettingsDlg(HWND parent, TestSettings* settings);
    CSettingsDlg(HWND parent, TestSettings* settings, const WaveDeviceList& inputs, const WaveDeviceList& outputs);

    void SetProbeToneAction(ProbeToneAction action) { probeTone_ = std::move(action); }

    // Runs the dialog modally: IDOK when the entries were stored, IDCANCEL otherwise.
    INT_PTR DoModal();

    bool ValidateSettings(const TestSettings& value) const;

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnDialogStart();
    void OnCommand(int id);
    void OnAccept();
    void OnDefaults();
    void OnOutputFolder();
    void OnAddProbeTone();
    void FillInputDevices();
    void FillOutputDevices();
    void FillDevices(int comboId, const WaveDeviceList& devices, std::int32_t& storedIndex);

    void ShowEntries(const SettingsEntries& entries);
    SettingsEntries ReadEntries() const;
    void SelectDevices(const SettingsEntries& entries);
    std::string Text(int id) const;

    HWND parent_;
    TestSettings* settings_;
    const WaveDeviceList& inputs_;
    const WaveDeviceList& outputs_;
    ProbeToneAction probeTone_;
};

}  // namespace vorn
