#include "timing/core/files/window_placement.h"

#include <algorithm>

namespace umbrix {

WindowPlacement PlaceBesideMain(const WindowPlacement& wanted, const ScreenRect& main, const ScreenRect& screen,
                                int titleBar, int gap) {
    // The two spaces the main window leaves, and how much of the wanted size each holds.
    const ScreenRect right{main.right() + gap, screen.top, screen.right() - main.right() - gap, screen.height};
    const ScreenRect below{screen.left, main.bottom() + gap, screen.width, screen.bottom() - main.bottom() - gap};
    const auto holds = [&](const ScreenRect& space) {
        return wanted.width <= space.width && wanted.height + titleBar <= space.height;
    };
    const auto area = [&](const ScreenRect& space) {
        return static_cast<long long>(std::max(0, std::min(wanted.width, space.width))) *
               std::max(0, std::min(wanted.height + titleBar, space.height));
    };
    const bool besideRight = holds(right) || (!holds(below) && area(right) >= area(below));
    const ScreenRect& space = besideRight ? right : below;
    WindowPlacement p;
    p.width = std::clamp(wanted.width, 1, std::max(1, space.width));
    p.height = std::clamp(wanted.height, 1, std::max(1, space.height - titleBar));
    // Beside the main window's top (or under its left edge), slid back onto the screen.
    p.left = std::clamp(space.left, screen.left, std::max(screen.left, screen.right() - p.width));
    const int top = besideRight ? main.top : space.top;
    p.top = std::clamp(top, screen.top, std::max(screen.top, screen.bottom() - p.height - titleBar));
    return p;
}

}  // namespace umbrix
