#pragma once
// UTF-8 well-formedness, for text that comes from files and command lines as raw bytes
// (messages that quote a file's line, JSON output that must be valid UTF-8).

#include <cstddef>
#include <string_view>

namespace umbrix {

// The byte count of the well-formed UTF-8 sequence s starts with (1 for ASCII), 0 when it
// starts with none: a stray continuation byte, an overlong form, a surrogate, a code point
// beyond U+10FFFF, or a sequence cut short. s must not be empty.
inline std::size_t Utf8SequenceLength(std::string_view s) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(0);
    if (c < 0x80) return 1;
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the range the second byte may take
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;   // shorter forms of U+0000..U+07FF
        if (c == 0xED) high = 0x9F;  // surrogates U+D800..U+DFFF
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;   // shorter forms of U+0000..U+FFFF
        if (c == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
        return 0;
    }
    if (s.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(k) < 0x80 || byte(k) > 0xBF) return 0;
    return length;
}

}  // namespace umbrix
