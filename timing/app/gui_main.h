#pragma once
// ectimer's windows are a module of their own (ectimer_gui), which main() loads only when Qt is
// needed (no --batch, or --oc with --plot): loading and relocating the Qt libraries took about
// four fifths of a batch run, and the rest of the command line needs none of them.

// The module's one exported function: the main window and the method windows, run as
// `ectimer [FILE]` runs them, or the O-C diagram of `--oc ... --plot` (argc and argv as main()
// received them); returns the exit status. main() looks it up by this name, "umbrix_gui_main".
extern "C" __attribute__((visibility("default"))) int umbrix_gui_main(int argc, char* argv[]);
