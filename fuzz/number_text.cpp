// The number readers behind the text boxes (ectimer's LeadingNumber, hjdprep's LeadingNumber
// and coordinate boxes) and the writers that fill those boxes. A reader always gives a
// finite number, 0 when the text starts with none; blanks before and text after a number do
// not change it; and what a writer shows reads back as the value shown.

#include <cmath>
#include <string>

#include "converter/core/catalogue.h"
#include "converter/core/text_fields.h"
#include "fuzz/check.h"
#include "timing/core/data/format.h"

namespace {

bool Close(double a, double b, double relative) {
    return a == b || std::fabs(a - b) <= relative * std::fmax(std::fabs(a), std::fabs(b));
}

void CheckEctimer(const std::string& text) {
    bool found = false;
    const double v = umbrix::LeadingNumber(text, &found);
    FUZZ_CHECK(std::isfinite(v));
    if (!found) FUZZ_CHECK(v == 0);
    bool foundAgain = false;
    FUZZ_CHECK(umbrix::LeadingNumber("  " + text, &foundAgain) == v && foundAgain == found);
    // "#" can neither extend a number nor start one.
    FUZZ_CHECK(umbrix::LeadingNumber(text + "#") == v);
    // The text a result box shows reads back as the number (to its 15 digits).
    const std::string shown = umbrix::NumText(v);
    FUZZ_CHECK(Close(umbrix::LeadingNumber(shown), v, 1e-14));
    const std::string fixed = umbrix::FormatFixed(v, 14, 5);
    FUZZ_CHECK(fixed.find("nan") == std::string::npos && fixed.find("inf") == std::string::npos);
}

void CheckConverter(const std::string& text) {
    const double v = hjdprep::LeadingNumber(text);
    FUZZ_CHECK(std::isfinite(v));
    FUZZ_CHECK(hjdprep::LeadingNumber(" \t" + text) == v || (v == 0 && hjdprep::LeadingNumber(" \t" + text) == 0));
    FUZZ_CHECK(hjdprep::LeadingNumber(text + "#") == v);
    FUZZ_CHECK(Close(hjdprep::LeadingNumber(hjdprep::NumberText(v)), v, 1e-14));
    // The degrees box keeps the hemisphere even at zero.
    const std::string degrees = hjdprep::DegreesText(v);
    FUZZ_CHECK(degrees[0] == (std::signbit(v) ? '-' : '+'));
    FUZZ_CHECK(Close(hjdprep::LeadingNumber(degrees), v, 1e-14));
    const hjdprep::StarCoordinates c = hjdprep::CoordinatesFromTexts({text, text, text, text, text});
    for (double x : {c.RaHour, c.RaMinute, c.RaSecond, c.DecDegree, c.DecMinute}) FUZZ_CHECK(std::isfinite(x));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(fuzz::AsText(data, size));
    CheckEctimer(text);
    CheckConverter(text);
    return 0;
}
