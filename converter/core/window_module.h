#pragma once
// What hjdprep's program asks of its window module (hjdprep_window), which it loads only
// when the window is wanted: the command line, --help and every other option then run
// without loading Qt or needing a display. The program (cli/main.cpp) looks the entry up by
// its name; the module (gui/gui_main.cpp) defines it. Both sides see only this file.

// The window Form1, run as `hjdprep` runs it (argc and argv as main() received them, so Qt
// takes its own options from them); returns the exit status. Looked up as
// "hjdprep_window_main".
extern "C" __attribute__((visibility("default"))) int hjdprep_window_main(int argc, char* argv[]);
