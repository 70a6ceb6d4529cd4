#pragma once
// Options the windowing toolkit takes from a program's command line (Qt's "-platform
// offscreen", "-style=fusion", "--geometry 640x480"): a single dash, or two dashes before one
// of the toolkit's own names. A program that refuses options it does not know lets these pass
// to its window.

#include <string_view>

namespace toolkit {

inline bool IsToolkitOption(std::string_view arg) {
    if (arg.size() < 2 || arg[0] != '-') return false;
    if (arg[1] != '-') return true;
    std::string_view name = arg.substr(2);
    name = name.substr(0, name.find('='));
    for (const std::string_view own :
         {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
          "qwindowicon", "qwindowtitle", "reverse", "session", "style", "stylesheet",
          "widgetcount", "display", "geometry", "title", "name", "visual", "nograb", "dograb",
          "sync", "qmljsdebugger"})
        if (name == own) return true;
    return false;
}

}  // namespace toolkit
