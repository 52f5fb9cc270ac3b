// A main-dialog view for tests: keeps the texts, enable states, progress bar and timer
// state the sequence last set, and answers the file chooser as told.
#pragma once

#include "app/MainView.h"

#include <map>
#include <string>

namespace vorn::test {

class FakeMainView final : public MainView {
public:
    void ShowStimulusName(const std::string& name) override { stimulusName = name; }
    void ShowStepResult(TestStep step, const std::string& text) override { results[step] = text; }
    void ShowStepButton(TestStep step, const std::string& caption, bool enabled) override {
        captions[step] = caption;
        enabled_[step] = enabled;
    }
    void EnableSetupButtons(bool enabled) override { setupEnabled = enabled; }
    void ShowProgress(bool shown) override { progressShown = shown; }
    void SetProgress(int position) override { progress = position; }
    void ArmStepTimer() override { timerArmed = true; }
    void KillStepTimer() override { timerArmed = false; }
    void MinimizeAndRestore() override { ++minimizeRestores; }
    bool AskStimulusFile(const std::string& initialFolder, std::string& path) override {
        askedFolder = initialFolder;
        if (chooseConfirms) path = chosenPath;
        return chooseConfirms;
    }

    std::string Result(TestStep step) const { return results.count(step) ? results.at(step) : "<unset>"; }
    std::string Caption(TestStep step) const { return captions.count(step) ? captions.at(step) : "<unset>"; }
    bool Enabled(TestStep step) const { return enabled_.count(step) && enabled_.at(step); }

    std::map<TestStep, std::string> results, captions;
    std::map<TestStep, bool> enabled_;
    std::string stimulusName = "<unset>";
    bool setupEnabled = false, progressShown = true, timerArmed = false, chooseConfirms = false;
    int progress = -1, minimizeRestores = 0;
    std::string chosenPath, askedFolder;
};

}  // namespace vorn::test
