#pragma once
// Number text: every number the program shows or writes goes through these.

#include <optional>
#include <string>

namespace umbrix {

// Shortest decimal text of x with at most 15 significant digits: "." as decimal point, no
// leading zero before the point (".5"), no trailing zeros, no point for whole numbers.
// Plain notation for magnitudes from 1e-15 up to (not including) 1e15, so that errors of
// 1e-5 day reach FormatFixed as "0.00001"; outside that band, exponent form ("1E-20").
std::string NumText(double x);
std::string NumText(int n);

// Fixed point, right-aligned to width, with the given number of decimals; see format.cpp
// for the exact rules of rounding, cutting and the scientific fallback.
std::string FormatFixed(double value, int width, int decimals);

// Scientific text "0.12346e+05", right-aligned to width.
std::string FormatSci(double value, int width, int decimals);

// n padded on the left with fill up to width characters; never cut.
std::string PadInt(int n, int width, const std::string& fill);

// s without its leading blanks (result boxes show formatted numbers this way).
std::string TrimLeft(const std::string& s);

// The number a text box holds: its longest leading numeric part after leading blanks
// ([+|-] digits [. digits] [e|E [+|-] digits]), 0 when there is none. `found`, when given,
// tells whether there was one.
double LeadingNumber(const std::string& text, bool* found = nullptr);

// The number a text is, blanks around it allowed; nothing when any other character is left
// over ("abc", "12abc") or the text is empty. For boxes whose number must be meant whole.
std::optional<double> WholeNumber(const std::string& text);

// An error (days) as a result box shows it: FormatFixed(error, 14, 5) without leading
// blanks, unless that reads as zero for an error that is not zero (below 0.000005 day);
// then with as many decimals as its first significant digit needs ("0.000003"), so that a
// small error is neither hidden nor read back as zero.
std::string ShownError(double error);

// A number for files that are read again by programs (tables, logs, results): fixed
// notation with the given decimals, 7 for times in days (0.009 s).
std::string FileDecimals(double value, int decimals = 7);

// An error for such files: FileDecimals, with more decimals for an error that is not zero
// but would read as zero, up to its first significant digit.
std::string FileError(double error, int decimals = 7);

}  // namespace umbrix
