#include "timing/core/data/json.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "timing/core/data/utf8.h"

namespace umbrix {

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            // File names and messages are bytes; JSON must be UTF-8. A good sequence is
            // copied, each byte of a broken one becomes U+FFFD.
            const std::size_t length = Utf8SequenceLength(std::string_view(s).substr(i));
            if (length == 0) {
                out += "\\ufffd";
                ++i;
            } else {
                out.append(s, i, length);
                i += length;
            }
            continue;
        }
        ++i;
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

std::string JsonNumber(double x) {
    if (!std::isfinite(x)) return "null";
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, x);
    return std::string(buf, r.ptr);
}

}  // namespace umbrix
