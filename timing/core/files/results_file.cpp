#include "timing/core/files/results_file.h"

namespace umbrix {

namespace {

std::string Column(const std::string& s, std::size_t width) {
    return s.size() >= width ? s + " " : s + std::string(width - s.size(), ' ');
}

}  // namespace

std::string ResultsText(const ResultsSheet& sheet) {
    const char* eol = "\r\n";
    std::string t;
    t += "Umbrix times of minimum" + std::string(eol);
    t += "Light curve: " + sheet.lightCurve + eol + eol;
    t += Column("Method", 28) + Column("Time of Minimum", 18) + Column("Est'd Error", 14) +
         Column("Calibrated", 14) + "Use in Mean?" + eol;
    for (const auto& row : sheet.rows)
        t += Column(row.label, 28) + Column(row.time, 18) + Column(row.error, 14) +
             Column(row.calibrated, 14) + (row.ticked ? "yes" : "no") + eol;
    t += eol;
    t += Column(sheet.simpleMeanLabel, 30) + sheet.simpleMean + eol;
    t += Column(sheet.weightedMeanLabel, 30) + sheet.weightedMean + eol;
    t += Column(sheet.stdErrorLabel, 30) + sheet.stdError + eol;
    t += Column(sheet.stdDevLabel, 30) + sheet.stdDev + eol;
    if (!sheet.note.empty()) {
        t += eol;
        for (const char c : sheet.note) c == '\n' ? t += eol : t += c;
        t += eol;
    }
    return t;
}

}  // namespace umbrix
