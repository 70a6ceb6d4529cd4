#pragma once
// One light curve through the command line: loaded as File > Open loads it, inverted and
// edited as asked, its eclipses found (--ranges auto), the chosen methods run and the means
// taken.

#include <string>

#include "timing/cli/options.h"
#include "timing/core/session/app_state.h"

namespace umbrix {

// What one file yields: its output and complaints as one run would print them, its rows of
// the minima table, and the exit status it alone would give.
struct FileRun {
    std::string out, err;
    std::string table;
    int status = 0;
};

FileRun RunFile(BatchOptions options, const std::string& file);

// The same for a light curve already loaded into app (an eclipse cut from a long one);
// `file` is the name its table rows give.
FileRun RunLoaded(BatchOptions options, AppState& app, const std::string& file);

}  // namespace umbrix
