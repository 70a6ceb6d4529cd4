#pragma once
// FITS light curves of TESS, Kepler and K2: the first binary table's TIME column (days from
// the BJDREFI + BJDREFF of its header, in TDB at the solar-system barycentre), PDCSAP_FLUX or,
// when the table has none, SAP_FLUX, with their errors. Points flagged in QUALITY, or whose
// time or flux is not a number, are left out and counted. Through cfitsio.

#include <string>

#include "timing/core/long/long_curve.h"

namespace umbrix {

// Reads the file at path into curve (fluxes become magnitudes, FluxToMagnitudes); returns ""
// or why the file cannot be read. Fits the FitsReader of ReadLongCurve.
std::string ReadFitsLightCurve(const std::string& path, LongCurve& curve);

}  // namespace umbrix
