#include "timing/core/session/row_table.h"

#include <optional>

#include "timing/core/data/format.h"
#include "timing/core/methods/method_table.h"
#include "timing/core/oc/oc.h"

namespace umbrix {

void RowTable::write(int k, const RowResult& result) {
    if (!result.ok()) return;
    RowState& r = rows_[Index(k)];
    r.written = result;
    r.time = result.timeText;
    r.error = result.errorText;
    r.calibrated = result.hasCalibrated ? result.calibratedText : "";
    r.ticked = true;
    r.stale = false;
}

void RowTable::empty(int k) {
    RowState& r = rows_[Index(k)];
    r.written = RowResult();
    r.time.clear();
    r.error.clear();
    r.calibrated.clear();
    r.stale = false;
}

void RowTable::pointsEdited() {
    for (RowState& r : rows_)
        if (!r.time.empty()) r.stale = true;
}

MeanRow RowTable::meanRow(int k) const {
    const RowState& s = row(k);
    const RowResult& w = s.written;
    MeanRow m;
    m.ticked = s.ticked;
    m.time = s.time;
    m.error = s.error;
    if (w.ok() && s.time == w.timeText) m.exactTime = w.time;
    if (w.ok() && s.error == w.errorText) m.exactError = w.error;
    m.calibrated = WholeNumber(s.calibrated);
    if (w.ok() && w.hasCalibrated && s.calibrated == w.calibratedText) m.calibrated = w.calibratedError;
    return m;
}

MeansResult RowTable::means() const {
    std::array<MeanRow, kMethodRows> rows;
    for (int k = 1; k <= kMethodRows; ++k) rows[Index(k)] = meanRow(k);
    return CalcMeans(rows);
}

MeansResult RowTable::calcMeans() {
    const MeansResult r = means();
    for (int k = 1; k <= kMethodRows; ++k) setTicked(k, r.ticked[Index(k)]);
    return r;
}

bool RowTable::countsStaleRow(const MeansResult& means) const {
    for (int k = 1; k <= kMethodRows; ++k)
        if (means.ticked[Index(k)] && row(k).stale) return true;
    return false;
}

std::string RowTable::staleTickedRows() const {
    std::vector<int> stale;
    for (int k = 1; k <= kMethodRows; ++k)
        if (row(k).stale && row(k).ticked) stale.push_back(k);
    if (stale.empty()) return "";
    std::string list = std::to_string(stale[0]);
    for (std::size_t i = 1; i < stale.size(); ++i)
        list += (i + 1 == stale.size() ? " and " : ", ") + std::to_string(stale[i]);
    return (stale.size() == 1 ? "Row " : "Rows ") + list + (stale.size() == 1 ? " was" : " were") +
           " computed before points were deleted or restored in Plot/Edit Data, and may not "
           "time the points as they are now.";
}

std::array<std::string, 3> RowTable::fileNumbers(int k) const {
    const RowState& s = row(k);
    const RowResult& w = s.written;
    // The method's number while its box shows the text it wrote, else the box's own number.
    const auto number = [](const std::string& text, bool wrote, const std::string& written,
                           double exact, std::string (*write)(double, int)) {
        if (wrote && text == written) return write(exact, 7);
        const std::optional<double> typed = WholeNumber(text);
        return typed ? write(*typed, 7) : text;
    };
    return {number(s.time, w.ok(), w.timeText, w.time, FileDecimals),
            number(s.error, w.ok(), w.errorText, w.error, FileError),
            number(s.calibrated, w.ok() && w.hasCalibrated, w.calibratedText, w.calibratedError,
                   FileError)};
}

std::string RowTable::minimaLine(int k, const std::string& file) const {
    const auto [time, error, calibrated] = fileNumbers(k);
    return MinimaTableLine(file, std::to_string(k), MethodOfRow(k).name, time, error, calibrated, "");
}

std::string RowTable::minimaLogLines(const std::string& file, const MeansResult& means) const {
    std::string lines;
    for (int k = 1; k <= kMethodRows; ++k)
        if (logged(k)) lines += minimaLine(k, file);
    if (!lines.empty() && means.computed) lines += MeanMinimaLine(file, means);
    return lines;
}

std::vector<std::string> RowTable::loggedMethods(const MeansResult& means) const {
    std::vector<std::string> methods;
    for (int k = 1; k <= kMethodRows; ++k)
        if (logged(k)) methods.push_back(MethodOfRow(k).name);
    if (means.computed) methods.push_back("weighted_mean");
    return methods;
}

std::string MeanMinimaLine(const std::string& file, const MeansResult& means) {
    return MinimaTableLine(file, "mean", "weighted_mean", FileDecimals(means.weightedValue),
                           FileError(means.stdErrorValue), "", "");
}

}  // namespace umbrix
