#pragma once
// Where each plot window stands and how large it is, in twips, as zzzumb.ini keeps them.
// Plain data: the settings reader and the windows share it without knowing one another.

#include <array>

namespace umbrix {

struct WindowPlacement {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// Slots of the placement records, in the order of the settings file's lines.
enum PlacementSlot {
    kParabolaWindow = 0,
    kTracingWindow = 1,
    kChordsWindow = 2,
    kKweeWindow = 3,
    kFourierWindow = 4,
    kSpareSlot = 5,
    kPlotDataWindow = 6,
    kPlacementCount = 7
};

using Placements = std::array<WindowPlacement, kPlacementCount>;

// The placements used when zzzumb.ini is missing or damaged.
inline Placements DefaultPlacements() {
    return {{{8100, 5600, 7200, 5400},
             {8100, 3900, 7200, 7200},
             {8100, 5600, 7200, 5400},
             {8100, 5600, 7200, 5400},
             {6500, 4600, 8800, 6500},
             {8100, 5600, 7200, 5400},
             {8100, 1500, 6675, 4245}}};
}

// A rectangle of the screen in twips.
struct ScreenRect {
    int left = 0, top = 0, width = 0, height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
};

// Where a plot window opens when zzzumb.ini gave no placements: the default placements put
// every window over the right half of the main window. The window keeps its default size where
// the screen allows and goes right of the main window's frame `main` when it fits there, else
// below it, else into whichever of the two spaces is larger, shrunk to it; never off `screen`
// (its available area). `titleBar` is the height the window system adds above the placed
// height, `gap` the space left between the two windows (both twips).
WindowPlacement PlaceBesideMain(const WindowPlacement& wanted, const ScreenRect& main, const ScreenRect& screen,
                                int titleBar, int gap);

}  // namespace umbrix
