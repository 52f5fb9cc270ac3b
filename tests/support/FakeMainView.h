// A main-dialog view for tests: keeps the texts, enable states, progress bar and timer
// state the sequence last set, and answers the file chooser as told.
#pragma once

#include "app/MainView.h"

#include <map>
#include <string>

namespace vorn::test {

class FakeMainView final : public MainView {
public:
    void SetItemText(int id, const std::string& text) override { texts[id] = text; }
    void EnableItem(int id, bool enabled) override { enabled_[id] = enabled; }
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

    std::string Text(int id) const { return texts.count(id) ? texts.at(id) : "<unset>"; }
    bool Enabled(int id) const { return enabled_.count(id) && enabled_.at(id); }

    std::map<int, std::string> texts;
    std::map<int, bool> enabled_;
    bool progressShown = true, timerArmed = false, chooseConfirms = false;
    int progress = -1, minimizeRestores = 0;
    std::string chosenPath, askedFolder;
};

}  // namespace vorn::test
