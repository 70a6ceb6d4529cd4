#pragma once
// Small text helpers of the converter. All positions count bytes: logs and catalogues may
// carry remarks in any encoding, and nothing is re-encoded.

#include <string>
#include <string_view>

namespace hjdprep {

// The value of the leading number of a text box or a file field: leading blanks skipped, an
// optional sign, digits with an optional decimal point ("+23" -> 23, "05x" -> 5, "abc" -> 0).
// A minus sign survives on zero ("-00" -> -0.0), so a southern declination below one degree
// keeps its hemisphere. Digits beyond the range of a double give 0, as no number does.
double LeadingNumber(std::string_view text);

// Bytes [first, first + count) of text with 1-based first, clipped to the text (never reads
// past its end; empty when first lies beyond it).
std::string_view Mid(std::string_view text, std::size_t first, std::size_t count);

// text cut or padded with blanks to exactly width bytes.
std::string FitWidth(std::string_view text, std::size_t width);

// text without leading and trailing blanks (and tabs).
std::string_view TrimBlanks(std::string_view text);

// text without trailing blanks.
std::string_view TrimRight(std::string_view text);

// A number as the coordinate boxes and the settings show it: plain notation, never an
// exponent, at most 15 significant digits from 1e-4 up to 1e15 ("5", "30.5", "-23"), and
// outside that band the shortest plain digits that read back as the same number.
std::string NumberText(double value);

// Declination degrees as its box shows it: always a sign and two integer digits ("+05",
// "-23", "-00" for a star just south of the equator).
std::string DegreesText(double value);

}  // namespace hjdprep
