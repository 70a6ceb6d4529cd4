#pragma once
// The command-line mode of ectimer: load one light curve exactly as File > Open would,
// optionally invert and delete points, print a summary, run the chosen timing methods with
// the same code the windows call, and print their rows and the means. No window is created.

#include <ostream>
#include <string>
#include <vector>

namespace umbrix {

inline constexpr int kBatchOk = 0;
inline constexpr int kBatchFailed = 2;

extern const char* const kBatchUsage;

// True when the arguments (without the program name) ask for the batch mode.
bool IsBatchRequest(const std::vector<std::string>& args);

// Runs the batch mode. args are the command-line arguments without the program name and
// start with "--batch". Writes the result to out and every complaint to err; returns the
// process exit status.
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace umbrix
