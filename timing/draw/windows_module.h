#pragma once
// What ectimer's program asks of its windows module (ectimer_gui), which it loads only when
// Qt is needed: loading and relocating the Qt libraries took about four fifths of a batch
// run, and the command line needs none of them. The program (cli/main.cpp) looks each entry
// up by its name; the module (gui/gui_main.cpp) defines them. Both sides see only this file,
// so neither includes the other's layer.

#include <string>

#include "timing/draw/oc_plot.h"

// The main window and the method windows, run as `ectimer [FILE]` runs them (argc and argv as
// main() received them); returns the exit status. Looked up as "umbrix_gui_main".
extern "C" __attribute__((visibility("default"))) int umbrix_gui_main(int argc, char* argv[]);

// Writes a drawn O-C diagram to `path` (PNG, PDF or SVG by its suffix) as the plot windows
// export theirs, with no window shown and no display needed. Returns true, or false with the
// reason in `complaint`. Looked up as "umbrix_export_oc_plot".
extern "C" __attribute__((visibility("default"))) bool umbrix_export_oc_plot(
    const umbrix::OcPlot& plot, const char* path, std::string& complaint);

namespace umbrix {
// What `ectimer --oc TABLE ... --show` opens the O-C window with: the table, the ephemeris
// as the texts typed, and the command line's choices.
struct OcWindowRequest {
    std::string table, t0, p, method = "mean";
    bool secondary = false, quadratic = false;
};
}  // namespace umbrix

// The O-C window on request.table (argc and argv as main() received them, for the toolkit's
// own options); returns the exit status when it is closed, 1 when the table is refused.
// Looked up as "umbrix_oc_window".
extern "C" __attribute__((visibility("default"))) int umbrix_oc_window(int argc, char* argv[],
                                                                       const umbrix::OcWindowRequest& request);
