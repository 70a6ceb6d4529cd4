#pragma once
// hjdprep without its window:
//
//   hjdprep --convert LOG [--jst] [--ra HH:MM:SS] [--dec [+|-]DD:MM] [--auto-search]
//
// runs the conversion in the current directory exactly as the start button would with these
// settings (UT and coordinates 0 unless given), with "star.dat" and "Alias.txt" from the
// current directory. "hjdprep.ini" is neither read nor written. A progress line goes to the
// error stream every 1000 records; at the end "END" and a line with the counts
// ("5 records converted, 3 lines written to err.txt") go to the output stream.
// Exit status: 0 done, 1 the run stopped (the message says why), 2 bad usage or unreadable
// input.

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "converter/core/conversion_run.h"

namespace hjdprep {

// Whether the arguments (without the program name) ask for the command line rather than
// the window: one of the options above does. Anything else (Qt's "-platform offscreen", a
// file a launcher passes) opens the window.
bool IsCommandLineRequest(const std::vector<std::string>& args);

// The run settings the arguments give, or nothing with error set.
std::optional<RunSettings> ParseCommandLine(const std::vector<std::string>& args, std::string& error);

int RunCommandLine(const std::vector<std::string>& args, const std::filesystem::path& directory,
                   std::ostream& out, std::ostream& err);

}  // namespace hjdprep
