// Resource and control identifiers, shared by the resource script and the code.
// Plain #defines only: the resource compiler reads this file too.
#pragma once

#define IDI_VORN                128
#define IDB_TITLE               137
#define IDD_VORN_DIALOG         102

// Main dialog "VORN Test Control"
#define IDC_CAPTURE_SEALED      1007
#define IDC_CAPTURE_OPEN        1008
#define IDC_PROCESS_RESULTS     1009
#define IDC_PROGRESS            1019
#define IDC_SETTINGS            1024
#define IDC_SELECT_STIMULUS     1026
#define IDC_STIMULUS_NAME       1040
#define IDC_CORWITH_RESULT      1042
#define IDC_SEALED_RESULT       1045
#define IDC_OPEN_RESULT         1046
#define IDC_TITLE               1049

// Settings dialog "Settings"
#define IDD_SETTINGS            130
#define IDC_TEST_DURATION       1025
#define IDC_SPAN_START          1026
#define IDC_SPAN_STOP           1027
#define IDC_DEFAULTS            1037
#define IDC_OUTPUT_FOLDER       1038
#define IDC_OUTPUT_FOLDER_NAME  1039
#define IDC_SCALE_FACTOR        1043
#define IDC_AUTO_PROCESS        1044
#define IDC_AUTO_PROCESS_DELAY  1048
#define IDC_ADD_PROBE_TONE      1050
#define IDC_INPUT_DEVICE        1056
#define IDC_OUTPUT_DEVICE       1057
#define IDC_MINIMIZE_ANALYZER   1058

// The test's step timer on the main dialog
#define IDT_STEP_TIMER          101
// "Results report..." in the main dialog's system menu (a multiple of 16, below 0xF000)
#define IDM_RESULTS_REPORT      0x0110

// Probe-tone dialog "Add Probe Tone " (the progress bar reuses IDC_PROGRESS)
#define IDD_ADD_PROBE_TONE      138
#define IDC_PROBE_FREQ          1052
#define IDC_PROBE_LEVEL         1053
#define IDC_FILTER_AND_ADD_PROBE_TONE 1055
