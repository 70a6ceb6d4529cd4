#pragma once
// Texts of run-time error numbers, shown by the print actions and the sliding-integrations row.

#include <string>

namespace umbrix {

// The text for error number n (0..1000); empty for numbers without a text.
std::string ErrorText(int n);

}  // namespace umbrix
