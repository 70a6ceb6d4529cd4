#include "timing/core/data/text_fields.h"

#include <charconv>
#include <cmath>

#include "timing/core/data/utf8.h"

namespace umbrix {

// Splits text into lines at CR LF, LF or a lone CR.
std::vector<TextLine> SplitLines(std::string_view text) {
    std::vector<TextLine> lines;
    std::size_t start = 0;
    int number = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        lines.push_back({number++, text.substr(start, i - start)});
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back({number, text.substr(start)});
    return lines;
}

bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

bool IsBlank(std::string_view s) {
    for (char c : s)
        if (!IsBlankChar(c)) return false;
    return true;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlankChar(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlankChar(s.back())) s.remove_suffix(1);
    return s;
}

// Accepts [+|-] digits [. digits] [e|E [+|-] digits], also ".5" and "5."; nothing else
// (no "inf", "nan", hexadecimal or empty text).
bool ParseNumber(std::string_view s, double& value) {
    s = Trim(s);
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != s.size()) return false;
    std::string_view body = s;
    if (body.front() == '+') body.remove_prefix(1);
    const auto result = std::from_chars(body.data(), body.data() + body.size(), value);
    return result.ec == std::errc() && result.ptr == body.data() + body.size() &&
           std::isfinite(value);
}

// Text from the file as a message can show it: control characters and bytes that are not
// UTF-8 would appear as empty boxes or question marks, so they are written as \xNN. Valid
// UTF-8 (accented or Japanese text) is kept as it is.
std::string Printable(std::string_view s) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    const auto escape = [&](unsigned char c) {
        out += "\\x";
        out += kHex[c >> 4];
        out += kHex[c & 15];
    };
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F)
                escape(c);
            else
                out += static_cast<char>(c);
            ++i;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(s.substr(i));
        if (length == 0) {
            escape(c);
            ++i;
        } else {
            out.append(s.substr(i, length));
            i += length;
        }
    }
    return out;
}

// Appended, not "\"" + text: GCC 12 at -O3 sees a false overlap (-Wrestrict) there.
std::string Quote(std::string_view name) {
    return std::string("\"").append(Printable(name)).append("\"");
}

}  // namespace umbrix
