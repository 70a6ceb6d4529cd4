#pragma once
// What the import window works on, without a widget: a long light curve read with the
// columns the user chose, its eclipses, and the timing of every covered one. The import
// dialog fills an ImportedCurve; the import window lists, draws and times it. Standard C++
// only, so that the window holds no arithmetic of its own.

#include <cstddef>
#include <string>
#include <vector>

#include "timing/core/long/eclipse_timing.h"
#include "timing/core/long/long_curve.h"
#include "timing/core/long/long_eclipses.h"

namespace umbrix {

struct ImportedCurve {
    std::string path;      // as the user chose it
    std::string dir;       // its folder: where the windows loaded from it say they come from
    std::string fileName;  // the name windows are called by ("sector14.fits#3")
    LongCurve curve;
    EclipseSearch search;
    LongEclipses found;
};

// Reads the file at path with these columns (FITS through the FITS reader) and finds its
// eclipses. Returns "" and fills `out`, or the refusal, naming the file; `out` is then left as
// it was.
std::string ImportLongCurve(const std::string& path, const ColumnChoice& columns,
                            const EclipseSearch& search, ImportedCurve& out);

// The first rows of a text table as the dialog previews them: at most `bytes` of the file are
// read, so that a long table previews at once. The preview's message says why it is no table.
TablePreview PreviewFile(const std::string& path, int rows = 10, std::size_t bytes = 1 << 16);

// The eclipse as the list shows its state: "covered", or why it is not, in words.
std::string EclipseState(const LongEclipse& e);

// The points of eclipse k's window as they are loaded for timing (binned to kMaxPoints).
WindowPoints PointsOfEclipse(const ImportedCurve& imported, std::size_t k);

// One covered eclipse timed by all six methods, each in a session of its own.
struct TimedEclipse {
    std::size_t index = 0;  // into found.eclipses
    std::string name;       // WindowName of the file and the eclipse
    WindowTiming timing;
};

// Loads each covered eclipse's window into a fresh session, as File > Open would load a file
// of its points, and runs every method on it with automatic ranges.
std::vector<TimedEclipse> TimeCoveredEclipses(const ImportedCurve& imported);

}  // namespace umbrix
