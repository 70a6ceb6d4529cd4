#pragma once
// Just enough JSON for the batch output: string literals and numbers.

#include <string>

namespace umbrix {

// s as a JSON string literal, quotes included; control characters are escaped.
std::string JsonString(const std::string& s);

// x with the shortest text that reads back to the same double; null when not finite.
std::string JsonNumber(double x);

}  // namespace umbrix
