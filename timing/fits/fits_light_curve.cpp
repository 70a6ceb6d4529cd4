#include "timing/fits/fits_light_curve.h"

#include <fitsio.h>

#include <cmath>
#include <memory>
#include <vector>

namespace umbrix {

namespace {

struct FitsCloser {
    void operator()(fitsfile* f) const {
        int status = 0;
        fits_close_file(f, &status);
    }
};
using FitsFile = std::unique_ptr<fitsfile, FitsCloser>;

std::string Complaint(const std::string& path, int status, const std::string& what) {
    char text[FLEN_STATUS] = {};
    fits_get_errstatus(status, text);
    return "Cannot read \"" + path + "\": " + what + " (" + text + ").";
}

// The column named `name`, or 0 when the table has none.
int ColumnNumber(fitsfile* f, const char* name) {
    int status = 0, number = 0;
    fits_get_colnum(f, CASEINSEN, const_cast<char*>(name), &number, &status);
    return status == 0 ? number : 0;
}

bool ReadDoubles(fitsfile* f, int column, long rows, std::vector<double>& out, int& status) {
    out.assign(static_cast<std::size_t>(rows), 0);
    const double nan = std::nan("");
    int anyNull = 0;
    fits_read_col(f, TDOUBLE, column, 1, 1, rows, const_cast<double*>(&nan), out.data(), &anyNull, &status);
    return status == 0;
}

}  // namespace

std::string ReadFitsLightCurve(const std::string& path, LongCurve& curve) {
    int status = 0;
    fitsfile* raw = nullptr;
    fits_open_table(&raw, path.c_str(), READONLY, &status);  // moves to the first table
    if (status != 0) return Complaint(path, status, "it holds no light-curve table");
    const FitsFile f(raw);
    long rows = 0;
    fits_get_num_rows(f.get(), &rows, &status);
    if (status != 0) return Complaint(path, status, "its table cannot be read");

    const int timeColumn = ColumnNumber(f.get(), "TIME");
    if (timeColumn == 0) return "Cannot read \"" + path + "\": its table has no TIME column.";
    const char* fluxName = "PDCSAP_FLUX";
    int fluxColumn = ColumnNumber(f.get(), fluxName);
    if (fluxColumn == 0) fluxColumn = ColumnNumber(f.get(), fluxName = "SAP_FLUX");
    if (fluxColumn == 0)
        return "Cannot read \"" + path + "\": its table has neither PDCSAP_FLUX nor SAP_FLUX.";
    const std::string errorName = std::string(fluxName) + "_ERR";
    const int errorColumn = ColumnNumber(f.get(), errorName.c_str());
    const int qualityColumn = ColumnNumber(f.get(), "QUALITY");

    // Times count from BJDREFI + BJDREFF (or one BJDREF); kept apart until the sum, so that
    // the fraction keeps its digits.
    double refInt = 0, refFrac = 0;
    int keyStatus = 0;
    fits_read_key(f.get(), TDOUBLE, "BJDREFI", &refInt, nullptr, &keyStatus);
    if (keyStatus == 0) {
        fits_read_key(f.get(), TDOUBLE, "BJDREFF", &refFrac, nullptr, &keyStatus);
    } else {
        keyStatus = 0;
        fits_read_key(f.get(), TDOUBLE, "BJDREF", &refInt, nullptr, &keyStatus);
    }
    if (keyStatus != 0)
        return "Cannot read \"" + path + "\": its table's header gives no BJDREFI and BJDREFF "
               "(the day that TIME counts from).";
    char timesys[FLEN_VALUE] = "TDB";
    keyStatus = 0;
    fits_read_key(f.get(), TSTRING, "TIMESYS", timesys, nullptr, &keyStatus);

    std::vector<double> time, flux, error, quality;
    if (!ReadDoubles(f.get(), timeColumn, rows, time, status) ||
        !ReadDoubles(f.get(), fluxColumn, rows, flux, status) ||
        (errorColumn != 0 && !ReadDoubles(f.get(), errorColumn, rows, error, status)) ||
        (qualityColumn != 0 && !ReadDoubles(f.get(), qualityColumn, rows, quality, status)))
        return Complaint(path, status, "its columns cannot be read");

    LongCurve r;
    r.timeColumn = "TIME";
    r.brightnessColumn = fluxName;
    if (errorColumn != 0) r.errorColumn = errorName;
    r.timeScale = std::string(timesys) == "TDB" ? "BJD_TDB" : "BJD_" + std::string(timesys);
    int flagged = 0, notNumbers = 0;
    for (long i = 0; i < rows; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (!quality.empty() && quality[k] != 0) {
            ++flagged;
            continue;
        }
        if (!std::isfinite(time[k]) || !std::isfinite(flux[k]) || (!error.empty() && !std::isfinite(error[k]))) {
            ++notNumbers;
            continue;
        }
        r.time.push_back((refInt + time[k]) + refFrac);
        r.mag.push_back(flux[k]);
        if (!error.empty()) r.error.push_back(error[k]);
        r.line.push_back(static_cast<int>(i + 1));
    }
    r.leftOut = flagged + notNumbers;
    if (flagged > 0) r.leftOutWhy = std::to_string(flagged) + " flagged in QUALITY";
    if (notNumbers > 0)
        r.leftOutWhy += (r.leftOutWhy.empty() ? "" : ", ") + std::to_string(notNumbers) + " NaN";
    FluxToMagnitudes(r);
    SortByTime(r);
    if (r.time.size() < 2) return "Cannot read \"" + path + "\": it holds fewer than two usable points.";
    curve = std::move(r);
    return "";
}

}  // namespace umbrix
