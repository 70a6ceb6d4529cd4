#include "timing/core/data/format.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace umbrix {

namespace {

// Values outside this band are written in exponent form.
constexpr double kPlainLow = 1e-15;
constexpr double kPlainHigh = 1e15;
// FormatSci needs this many characters for a mantissa with any decimals ("0.1e+05" plus one);
// below it the fallback would only overflow again, so the fixed text is returned as it is.
constexpr int kMinSciWidth = 8;

std::string PadLeft(const std::string& s, int width) {
    const int n = static_cast<int>(s.size());
    return n >= width ? s : std::string(static_cast<std::size_t>(width - n), ' ') + s;
}

}  // namespace

std::string NumText(double x) {
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x < 0 ? "-Inf" : "Inf";
    if (x == 0) return "0";
    const std::string sign = x < 0 ? "-" : "";
    // 15 significant digits, rounded once: "d.dddddddddddddde+XX" (independent of the locale).
    char buf[40];
    const auto end = std::to_chars(buf, buf + sizeof buf, std::fabs(x),
                                   std::chars_format::scientific, 14).ptr;
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, 14);
    const int exponent = std::atoi(std::string(buf + 17, end).c_str());
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const int nd = static_cast<int>(digits.size());

    double rounded = 0;
    std::from_chars(buf, end, rounded);
    if (rounded < kPlainLow || rounded >= kPlainHigh) {
        std::string s = digits.substr(0, 1);
        if (nd > 1) s.append(".").append(digits, 1);
        char e[16];
        std::snprintf(e, sizeof e, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return sign + s + e;
    }
    if (exponent < 0)  // 0.000ddd written without the leading zero
        return sign + "." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    const int intDigits = exponent + 1;
    if (nd <= intDigits)
        return sign + digits + std::string(static_cast<std::size_t>(intDigits - nd), '0');
    return sign + digits.substr(0, static_cast<std::size_t>(intDigits)) + "." +
           digits.substr(static_cast<std::size_t>(intDigits));
}

std::string NumText(int n) { return std::to_string(n); }

std::string FormatFixed(double value, int width, int decimals) {
    const bool negative = value < 0;
    const double a = std::fabs(value);
    if (!std::isfinite(a) || (a != 0 && (a < kPlainLow || a >= kPlainHigh)))
        return width >= kMinSciWidth ? FormatSci(value, width, width - 6)
                                     : PadLeft(NumText(value), width);

    std::string s = NumText(a);
    const std::size_t point = s.find('.');
    int present = 0;
    if (point == std::string::npos)
        s += '.';
    else
        present = static_cast<int>(s.size() - point - 1);

    if (present < decimals) {
        s.append(static_cast<std::size_t>(decimals - present), '0');
    } else {
        // Round half up at the last decimal; the rounded text keeps only the decimals it has.
        const double scale = std::pow(10.0, decimals);
        s = NumText(std::floor(a * scale + 0.5) / scale);
    }
    if (a < 1) s = "0" + s;
    if (negative) s = "-" + s;

    const int length = static_cast<int>(s.size());
    if (length <= width) return PadLeft(s, width);
    const int excess = length - width;
    if (excess <= decimals) return s.substr(0, static_cast<std::size_t>(width));
    if (width < kMinSciWidth) return s;
    return FormatSci(value, width, width - 6);
}

std::string FormatSci(double value, int width, int decimals) {
    if (decimals > width - 6) decimals = width - 6;
    if (!std::isfinite(value)) return PadLeft(NumText(value), width);
    std::string text;
    const double a = std::fabs(value);
    if (a > 1e-16) {
        const int e = static_cast<int>(std::floor(std::log(a) / std::log(10.0))) + 1;
        const double m = value / std::pow(10.0, e);
        text = FormatFixed(m, decimals + 2, decimals) + (e < 0 ? "e-" : "e+") +
               PadInt(std::abs(e), 2, "0");
    } else {
        // Appended piece by piece: "." + std::string(...) trips GCC 12's -Wrestrict at -O3.
        text.assign(".").append(static_cast<std::size_t>(std::max(decimals, 0)), '0');
        text += "e+00";
    }
    return PadLeft(text, width);
}

std::string PadInt(int n, int width, const std::string& fill) {
    std::string s = NumText(n);
    for (int k = static_cast<int>(s.size()); k < width; ++k) s = fill + s;
    return s;
}

std::string TrimLeft(const std::string& s) {
    const std::size_t first = s.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first);
}

namespace {

// The longest leading number of text from position `from` on: [+|-] digits [. digits]
// [e|E [+|-] digits], at least one digit. Returns its end, or `from` when there is none.
std::size_t NumberEnd(const std::string& text, std::size_t from) {
    std::size_t i = from;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    }
    if (digits == 0) return from;
    // An exponent counts only when digits follow it ("2e" is the number 2).
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) {
            while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
            i = j;
        }
    }
    return i;
}

// The value of text[from, end), a number NumberEnd found; nothing when it is not finite
// ("1e999"). from_chars ignores the locale (Qt sets the user's, which may use a decimal
// comma).
std::optional<double> NumberValue(const std::string& text, std::size_t from, std::size_t end) {
    if (text[from] == '+') ++from;
    double value = 0;
    const auto r = std::from_chars(text.data() + from, text.data() + end, value);
    if (r.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    return value;
}

bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

}  // namespace

double LeadingNumber(const std::string& text, bool* found) {
    std::size_t start = 0;
    while (start < text.size() && IsBlankChar(text[start])) ++start;
    const std::size_t end = NumberEnd(text, start);
    const std::optional<double> value =
        end > start ? NumberValue(text, start, end) : std::nullopt;
    if (found) *found = value.has_value();
    return value.value_or(0);
}

std::optional<double> WholeNumber(const std::string& text) {
    std::size_t start = 0, stop = text.size();
    while (start < stop && IsBlankChar(text[start])) ++start;
    while (stop > start && IsBlankChar(text[stop - 1])) --stop;
    const std::size_t end = NumberEnd(text, start);
    if (end == start || end != stop) return std::nullopt;
    return NumberValue(text, start, end);
}

std::string ShownError(double error) {
    std::string text = TrimLeft(FormatFixed(error, 14, 5));
    // Finer decimals one at a time until the first significant digit shows; FormatFixed
    // writes "0.000003" for 3e-6 at 6 decimals (width: the digits, the point and the "0").
    for (int decimals = 6; error != 0 && std::isfinite(error) && LeadingNumber(text) == 0 &&
                           decimals <= 15;
         ++decimals)
        text = TrimLeft(FormatFixed(error, decimals + 3, decimals));
    return text;
}

std::string FileDecimals(double value, int decimals) {
    if (!std::isfinite(value)) return NumText(value);
    char buffer[400];  // the largest double has 309 digits
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, r.ptr);
}

std::string FileError(double error, int decimals) {
    while (error != 0 && decimals < 17 && std::fabs(error) < 0.5 * std::pow(10.0, -decimals)) ++decimals;
    return FileDecimals(error, decimals);
}

}  // namespace umbrix
