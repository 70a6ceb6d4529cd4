#pragma once
// Lines, fields and numbers of the text files the program reads: the single-night reader and
// the long light curves' tables share them, so that both accept the same numbers and name a
// file the same way in their messages.

#include <string>
#include <string_view>
#include <vector>

namespace umbrix {

struct TextLine {
    int number;  // 1-based line number in the file
    std::string_view text;
};

// Splits text into lines at CR LF, LF or a lone CR.
std::vector<TextLine> SplitLines(std::string_view text);

bool IsBlankChar(char c);  // blank or tab
bool IsBlank(std::string_view s);
std::string_view Trim(std::string_view s);

// Accepts [+|-] digits [. digits] [e|E [+|-] digits], also ".5" and "5."; nothing else (no
// "inf", "nan", hexadecimal or empty text). Blanks around the number are ignored.
bool ParseNumber(std::string_view s, double& value);

// Text from a file as a message can show it: control characters and bytes that are not UTF-8
// become \xNN; valid UTF-8 is kept as it is.
std::string Printable(std::string_view s);

// A file name in double quotes, as messages show it.
std::string Quote(std::string_view name);

}  // namespace umbrix
