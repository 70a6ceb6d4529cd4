#pragma once
// A strict JSON syntax check (RFC 8259) for the batch output, written apart from the code
// that writes the JSON so that it can catch that code's mistakes.

#include <string_view>

#include "fuzz/check.h"

namespace fuzz {

class JsonChecker {
public:
    explicit JsonChecker(std::string_view s) : s_(s) {}
    bool Document() {
        Blank();
        if (!Value(0)) return false;
        Blank();
        return i_ == s_.size();
    }

private:
    bool More() const { return i_ < s_.size(); }
    char Peek() const { return More() ? s_[i_] : '\0'; }
    void Blank() {
        while (More() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r')) ++i_;
    }
    bool Literal(std::string_view word) {
        if (s_.substr(i_, word.size()) != word) return false;
        i_ += word.size();
        return true;
    }
    bool Digits() {
        const std::size_t from = i_;
        while (More() && s_[i_] >= '0' && s_[i_] <= '9') ++i_;
        return i_ > from;
    }
    bool Number() {
        if (Peek() == '-') ++i_;
        if (Peek() == '0') {
            ++i_;
        } else if (!Digits()) {
            return false;
        }
        if (Peek() == '.') {
            ++i_;
            if (!Digits()) return false;
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++i_;
            if (Peek() == '+' || Peek() == '-') ++i_;
            if (!Digits()) return false;
        }
        return true;
    }
    bool String() {
        if (Peek() != '"') return false;
        const std::size_t from = ++i_;
        while (More() && s_[i_] != '"') {
            const auto c = static_cast<unsigned char>(s_[i_]);
            if (c < 0x20) return false;
            if (c == '\\') {
                ++i_;
                if (!More()) return false;
                const char e = s_[i_];
                if (e == 'u') {
                    for (int k = 0; k < 4; ++k) {
                        ++i_;
                        const char h = Peek();
                        if (!((h >= '0' && h <= '9') || (h >= 'a' && h <= 'f') || (h >= 'A' && h <= 'F'))) return false;
                    }
                } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
                    return false;
                }
            }
            ++i_;
        }
        if (!More()) return false;
        const bool utf8 = IsUtf8(s_.substr(from, i_ - from));
        ++i_;
        return utf8;
    }
    bool Value(int depth) {
        if (depth > 64) return false;
        Blank();
        const char c = Peek();
        if (c == '{') {
            ++i_;
            Blank();
            if (Peek() == '}') return ++i_, true;
            for (;;) {
                Blank();
                if (!String()) return false;
                Blank();
                if (Peek() != ':') return false;
                ++i_;
                if (!Value(depth + 1)) return false;
                Blank();
                if (Peek() == ',') {
                    ++i_;
                    continue;
                }
                if (Peek() != '}') return false;
                return ++i_, true;
            }
        }
        if (c == '[') {
            ++i_;
            Blank();
            if (Peek() == ']') return ++i_, true;
            for (;;) {
                if (!Value(depth + 1)) return false;
                Blank();
                if (Peek() == ',') {
                    ++i_;
                    continue;
                }
                if (Peek() != ']') return false;
                return ++i_, true;
            }
        }
        if (c == '"') return String();
        if (c == 't') return Literal("true");
        if (c == 'f') return Literal("false");
        if (c == 'n') return Literal("null");
        return Number();
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

inline bool IsJsonDocument(std::string_view s) { return JsonChecker(s).Document(); }

}  // namespace fuzz
