#include "converter/text_fields.h"

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
    double value = 0;
    bool seenPoint = false;
    double scale = 1;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            if (seenPoint) {
                scale /= 10;
                value += (c - '0') * scale;
            } else {
                value = value * 10 + (c - '0');
            }
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
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
    char buf[64];
    // %.15g switches to exponent form only beyond 1e15, far outside any coordinate.
    std::snprintf(buf, sizeof buf, "%.15g", value);
    return buf;
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
