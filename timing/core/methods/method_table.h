#pragma once
// The six timing methods as the program lists them: the main window's rows and labels, the
// names the command line and the minima table use, the zzzumb.ini slot of each method's
// window, and what Go of the row prepares. The main window, the method windows, the command
// line and O-C read this one table, so that a method's name is written once.

#include <array>
#include <string_view>

#include "timing/core/data/means.h"
#include "timing/core/files/window_placement.h"

namespace umbrix {

// What Go of a row does before its method starts.
enum class GoPrepares {
    WholeWorkingSet,    // the method's window opens on every working point (rows 1, 3, 4, 5)
    TracingMagnitudes,  // tracing paper takes a fresh copy of the working magnitudes (row 2)
    ComputesAtOnce,     // sliding integrations has no window: Go computes the row (row 6)
};

struct MethodEntry {
    int row;            // 1..6, the main window's row
    const char* label;  // as the main window and the results file show it
    const char* name;   // as --method takes it and the minima table's method column holds it
    int placement;      // the PlacementSlot of its window; -1 for none
    GoPrepares go;
};

inline constexpr std::array<MethodEntry, kMethodRows> kMethods{{
    {1, "1. Parabolic Fit", "parabola", kParabolaWindow, GoPrepares::WholeWorkingSet},
    {2, "2. Tracing Paper", "tracing", kTracingWindow, GoPrepares::TracingMagnitudes},
    {3, "3. Bisectors of Chords", "chords", kChordsWindow, GoPrepares::WholeWorkingSet},
    {4, "4. Kwee and van Woerden", "kvw", kKweeWindow, GoPrepares::WholeWorkingSet},
    {5, "5. Fourier Fit", "fourier", kFourierWindow, GoPrepares::WholeWorkingSet},
    {6, "6. Sliding Integrations", "sliding", -1, GoPrepares::ComputesAtOnce},
}};

// Row 1..6's entry (the caller checks the row).
constexpr const MethodEntry& MethodOfRow(int row) { return kMethods[static_cast<std::size_t>(row - 1)]; }

// The entry whose command-line name is `name`, or nullptr.
constexpr const MethodEntry* MethodNamed(std::string_view name) {
    for (const MethodEntry& m : kMethods)
        if (name == m.name) return &m;
    return nullptr;
}

}  // namespace umbrix
