#include "analyzer/CommandScripts.h"

#include "analyzer/AnalyzerCommands.h"

namespace vorn {

CommandScript CaptureScript(const CaptureSetup& setup) {
    CommandScript script;
    if (setup.minimizeAnalyzer) script.push_back({MinimizeWindowCommand()});
    script.push_back({FileCloseCommand()});
    script.push_back({LoadCaptureConfigCommand(setup.outputFolder), 250});
    script.push_back({SetInputDeviceCommand(setup.inputDevIndex), 250});
    script.push_back({SetOutputDeviceCommand(setup.outputDevIndex), 250});
    script.push_back({FileCloseCommand()});
    script.push_back({OpenTotalPowerUtilityCommand()});
    script.push_back({SetAverageSizeCommand()});
    script.push_back({SetGeneratorTypeUserDefinedCommand(), 1000});
    script.push_back({SetGeneratorWaveFileLeftCommand(setup.stimulusPath), 2000});
    script.push_back({RecordCommand()});
    return script;
}

CommandScript CaptureSaveScript(const std::string& outputFolder, bool openCapture) {
    return {{openCapture ? SaveTest2Command(outputFolder) : SaveTest1Command(outputFolder), 250}};
}

CommandScript CaptureOverlayScript(bool openCapture) {
    return {{openCapture ? SetLeftOverlay2Command() : SetLeftOverlay1Command()}};
}

CommandScript ProcessingScript(const std::string& outputFolder, bool minimizeAnalyzer) {
    CommandScript script;
    if (minimizeAnalyzer) script.push_back({MinimizeWindowCommand()});
    for (std::string command : {FileCloseCommand(), LoadProcessConfigCommand(outputFolder), FileCloseCommand(),
                                FileMergeCommand(outputFolder), DelayFinderCommand(), OpenDelayFinderCommand(),
                                GoToCommand(), RunCommand()})
        script.push_back({std::move(command)});
    return script;
}

CommandScript DelaySearchEndScript() { return {{StopCommand()}}; }

CommandScript AnalysisPassScript(float delay) {
    return {{SetDelayCommand(delay)}, {CloseDelayFinderCommand()}, {SetAverageSizeCommand()}, {GoToCommand()},
            {RunCommand()}};
}

CommandScript AnalysisSaveScript(const std::string& outputFolder) { return {{SaveMergedCommand(outputFolder)}}; }

}  // namespace vorn
