#include "timing/gui/import/long_import.h"

#include <filesystem>
#include <fstream>
#include <memory>

#include "timing/core/data/data_set.h"
#include "timing/core/data/text_fields.h"
#include "timing/core/methods/method_common.h"
#include "timing/core/session/app_state.h"
#include "timing/fits/fits_light_curve.h"

namespace umbrix {

std::string ImportLongCurve(const std::string& path, const ColumnChoice& columns,
                            const EclipseSearch& search, ImportedCurve& out) {
    ImportedCurve r;
    const std::filesystem::path p(path);
    r.path = path;
    r.dir = p.has_parent_path() ? p.parent_path().string() : ".";
    r.fileName = p.filename().string();
    r.search = search;
    if (std::string message = ReadLongCurve(path, columns, &ReadFitsLightCurve, r.curve); !message.empty())
        return message;
    r.found = FindLongEclipses(r.curve, search);
    // The search's messages speak of the curve; the window that shows one may be among many.
    if (!r.found.message.empty()) return Quote(r.fileName) + ": " + r.found.message;
    out = std::move(r);
    return "";
}

TablePreview PreviewFile(const std::string& path, int rows, std::size_t bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        TablePreview p;
        p.message = "it cannot be opened";
        return p;
    }
    std::string text(bytes, '\0');
    in.read(text.data(), static_cast<std::streamsize>(bytes));
    text.resize(static_cast<std::size_t>(in.gcount()));
    // A line cut by the end of what was read would preview as a short row.
    if (text.size() == bytes)
        if (const std::size_t end = text.find_last_of("\r\n"); end != std::string::npos) text.resize(end);
    return PreviewTable(text, rows);
}

std::string EclipseState(const LongEclipse& e) {
    if (e.covered) return "covered";
    return e.why + ": " + e.detail;
}

WindowPoints PointsOfEclipse(const ImportedCurve& imported, std::size_t k) {
    return PointsOfWindow(imported.curve, imported.found.eclipses.at(k), kMaxPoints);
}

std::vector<TimedEclipse> TimeCoveredEclipses(const ImportedCurve& imported) {
    std::vector<TimedEclipse> timed;
    const std::array<bool, kMethodRows> all{true, true, true, true, true, true};
    for (std::size_t k = 0; k < imported.found.eclipses.size(); ++k) {
        const LongEclipse& e = imported.found.eclipses[k];
        if (!e.covered) continue;
        TimedEclipse t;
        t.index = k;
        t.name = WindowName(imported.fileName, e);
        // A session is large (the data set's arrays and every method's state): on the heap.
        auto app = std::make_unique<AppState>();
        LoadWindow(*app, PointsOfEclipse(imported, k), imported.dir, t.name);
        t.timing = TimeLoadedWindow(*app, all);
        timed.push_back(std::move(t));
    }
    return timed;
}

}  // namespace umbrix
