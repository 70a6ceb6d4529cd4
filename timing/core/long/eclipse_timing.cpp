#include "timing/core/long/eclipse_timing.h"

#include "timing/core/data/reader.h"
#include "timing/core/methods/method_table.h"

namespace umbrix {

std::string WindowName(const std::string& fileName, const LongEclipse& e) {
    return fileName + "#" + std::to_string(e.number);
}

void LoadWindow(AppState& app, const WindowPoints& w, const std::string& dir, const std::string& name) {
    DataSet& ds = app.data;
    ds.DataDir = dir;
    ds.DataFileName = name;
    ds.DataPath = JoinPath(dir, name);
    ApplyLightCurve(ds, w.time, w.mag, w.line);
    ds.TimeScale = w.timeScale;
    ResetMethodStates(app);
}

WindowTiming TimeLoadedWindow(AppState& app, const std::array<bool, kMethodRows>& rows,
                              RunChoices choices) {
    WindowTiming t;
    t.ranges = ChooseRanges(app.data);
    choices.chosen = t.ranges;
    for (const MethodEntry& method : kMethods) {
        const auto k = static_cast<std::size_t>(method.row - 1);
        if (!rows[k]) continue;
        t.runs[k] = RunMethodRow(method.row, app, choices);
        t.ran[k] = true;
        t.table.write(method.row, t.runs[k].result);
    }
    t.means = t.table.means();
    return t;
}

}  // namespace umbrix
