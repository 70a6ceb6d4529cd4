#pragma once
// Writes a sector (long_curve_maker.h) as a FITS light curve laid out as TESS lays it out: an
// empty primary header, then a binary table of TIME, SAP_FLUX, PDCSAP_FLUX (and their errors)
// and QUALITY, with BJDREFI, BJDREFF and TIMESYS in its header. Through cfitsio, as a test
// writes its own input.

#include <fitsio.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/timing/support/long_curve_maker.h"

namespace umbrix::testing_support {

// Returns "" or cfitsio's complaint. withPdcsap false writes SAP_FLUX only.
inline std::string WriteSectorFits(const std::string& path, const SectorData& d, bool withPdcsap = true) {
    int status = 0;
    fitsfile* f = nullptr;
    const std::string target = "!" + path;  // "!": replace a file of that name
    fits_create_file(&f, target.c_str(), &status);
    fits_create_img(f, 8, 0, nullptr, &status);
    std::vector<std::string> names = {"TIME", "SAP_FLUX", "SAP_FLUX_ERR", "QUALITY"};
    std::vector<std::string> forms = {"1D", "1E", "1E", "1J"};
    if (withPdcsap) {
        names.insert(names.begin() + 3, {"PDCSAP_FLUX", "PDCSAP_FLUX_ERR"});
        forms.insert(forms.begin() + 3, {"1E", "1E"});
    }
    std::vector<char*> n, t;
    for (auto& s : names) n.push_back(s.data());
    for (auto& s : forms) t.push_back(s.data());
    char extname[] = "LIGHTCURVE";
    fits_create_tbl(f, BINARY_TBL, 0, static_cast<int>(n.size()), n.data(), t.data(), nullptr, extname, &status);
    long refInt = static_cast<long>(kFitsReference);
    double refFrac = 0;
    char tdb[] = "TDB";
    fits_write_key(f, TLONG, "BJDREFI", &refInt, "integer part of BTJD reference date", &status);
    fits_write_key(f, TDOUBLE, "BJDREFF", &refFrac, "fraction of the day", &status);
    fits_write_key(f, TSTRING, "TIMESYS", tdb, "time system", &status);
    const auto rows = static_cast<LONGLONG>(d.time.size());
    std::vector<double> time = d.time, flux = d.flux, error = d.error;
    std::vector<int> quality = d.quality;
    // SAP flux with deeper eclipses than the PDCSAP flux, so that reading the wrong column
    // shows in the magnitudes (a mere factor would not: the median takes it out).
    std::vector<double> sap(flux);
    for (double& v : sap) v = std::pow(v, 1.3);
    int column = 1;
    fits_write_col(f, TDOUBLE, column++, 1, 1, rows, time.data(), &status);
    fits_write_col(f, TDOUBLE, column++, 1, 1, rows, sap.data(), &status);
    fits_write_col(f, TDOUBLE, column++, 1, 1, rows, error.data(), &status);
    if (withPdcsap) {
        fits_write_col(f, TDOUBLE, column++, 1, 1, rows, flux.data(), &status);
        fits_write_col(f, TDOUBLE, column++, 1, 1, rows, error.data(), &status);
    }
    fits_write_col(f, TINT, column++, 1, 1, rows, quality.data(), &status);
    fits_close_file(f, &status);
    if (status == 0) return "";
    char text[FLEN_STATUS] = {};
    fits_get_errstatus(status, text);
    return text;
}

}  // namespace umbrix::testing_support
