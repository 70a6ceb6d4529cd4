#include "converter/core/text_fields.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace hjdprep {

double LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else if (c < '0' || c > '9') {
            break;
        }
    }
    // The digits are converted in one go (correctly rounded, so "30.5" written back reads as
    // the same number); a run too long to be a number of any box (beyond the range of a
    // double) counts as no number, like text.
    double value = 0;
    const auto r = std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::fixed);
    if (r.ec != std::errc() || !std::isfinite(value)) value = 0;
    return negative ? -value : value;
}

std::string_view Mid(std::string_view text, std::size_t first, std::size_t count) {
    if (first == 0 || first > text.size()) return {};
    return text.substr(first - 1, count);
}

std::string FitWidth(std::string_view text, std::size_t width) {
    std::string out(text.substr(0, width));
    out.resize(width, ' ');
    return out;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

std::string NumberText(double value) {
    if (value == 0) value = 0;  // no "-0" in a plain number
    const double size = std::fabs(value);
    if (value == 0 || (size >= 1e-4 && size < 1e15)) {
        // %.15g is plain notation in this band: the 15 digits a box shows.
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", value);
        return buf;
    }
    // Beyond it %.15g would write an exponent ("1e+15", "1e-05"), which the boxes and the
    // settings file read back as 1: write the shortest plain digits that read back exactly.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    return std::string(buf, r.ptr);
}

std::string DegreesText(double value) {
    const char sign = std::signbit(value) ? '-' : '+';
    const double magnitude = std::fabs(value);
    std::string digits = NumberText(magnitude);
    const std::size_t point = digits.find('.');
    const std::size_t integerDigits = point == std::string::npos ? digits.size() : point;
    if (integerDigits < 2) digits.insert(0, 2 - integerDigits, '0');
    return sign + digits;
}

}  // namespace hjdprep
