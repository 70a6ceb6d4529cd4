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

}  // namespace umbrix
