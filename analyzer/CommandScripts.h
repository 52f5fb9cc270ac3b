// The command scripts of the three-step test: what the program sends to the analyzer in
// each step, in order, with the fixed pause that follows each command. The test sequence
// runs them (the link is reconnected before each script that starts a step); the
// substitute analyzer's tests run the very same lists against its engine.
//
// Between the scripts lie the timed parts of a step and the requests whose replies
// feed the next script ("Delay Finder" before the analysis pass, "Total Power" after a
// capture's save); those belong to the sequence.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

struct ScriptStep {
    std::string command;
    std::uint32_t waitAfterMs = 0;  // blocking pause after the command, milliseconds
};
using CommandScript = std::vector<ScriptStep>;

struct CaptureSetup {
    std::string outputFolder;   // holds Config\CaptureData.cfg
    int inputDevIndex = -1;     // settings' device numbers (from 0; -1 = none chosen)
    int outputDevIndex = -1;
    std::string stimulusPath;   // the generator's wave file
    bool minimizeAnalyzer = false;
};

// Loads the capture configuration, picks the devices and the generator's file and
// ends with "[Record]": the capture runs from there until the sequence stops it.
CommandScript CaptureScript(const CaptureSetup& setup);
// After "[Stop]": saves the capture as Output\Test1.wav (the sealed one) or
// Output\Test2.wav and gives the analyzer a quarter second to write it.
CommandScript CaptureSaveScript(const std::string& outputFolder, bool openCapture);
// After the total power was read: keeps the capture on the display as overlay 1 or 2.
CommandScript CaptureOverlayScript(bool openCapture);
// Merges both captures and starts the delay finder's pass with "[Run]".
CommandScript ProcessingScript(const std::string& outputFolder, bool minimizeAnalyzer);
// Ends the delay finder's pass; the sequence then reads the delay it found.
CommandScript DelaySearchEndScript();
// Applies the found delay (milliseconds) and starts the analysis pass with "[Run]".
CommandScript AnalysisPassScript(float delay);
// After the analysis pass's "[Stop]": saves the merged capture as Output\Merged.wav.
CommandScript AnalysisSaveScript(const std::string& outputFolder);

}  // namespace vorn
