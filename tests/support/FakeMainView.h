// A main-dialog view for tests: holds the texts, enable states, progress bar and timer
// state the sequence last set, and counts timer arms and window minimizes.
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
    void ArmStepTimer() override {
        timerArmed = true;
        ++timerArms;
    }
    void KillStepTimer() override { timerArmed = false; }
    void MinimizeAndRestore() override { ++minimizeRestores; }
    bool AskStimulusFile(const std::string& initialFolder, std::string& path) override {
        askedFolder = initialFolder;
        if (!chooseConfirms) return false;
        path = chosenPath;
        return true;
    }

    std::string Text(int id) const {
        auto it = texts.find(id);
        return it == texts.end() ? "<unset>" : it->second;
    }
    bool Enabled(int id) const {
        auto it = enabled_.find(id);
        return it != enabled_.end() && it->second;
    }

    std::map<int, std::string> texts;
    std::map<int, bool> enabled_;
    bool progressShown = true;
    int progress = -1;
    bool timerArmed = false;
    int timerArms = 0;
    int minimizeRestores = 0;
    bool chooseConfirms = false;
    std::string chosenPath;
    std::string askedFolder;
};

}  // namespace vorn::test
