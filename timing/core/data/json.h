#pragma once
// Just enough JSON for the command line's output: string literals and numbers.

#include <string>

namespace umbrix {

// s as a JSON string literal, quotes included; control characters are escaped, and every
// byte that is not part of well-formed UTF-8 becomes \ufffd, so the output is always valid
// UTF-8 whatever bytes a file name holds.
std::string JsonString(const std::string& s);

// x with the shortest text that reads back to the same double; null when not finite.
std::string JsonNumber(double x);

}  // namespace umbrix
