#pragma once
// zzzumb.ini: where the method windows and the plot/edit window were and how large, seven
// lines of "left,top,width,height" in twips, CR LF line ends, in the working directory.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "timing/core/files/window_placement.h"

namespace umbrix {

inline constexpr const char* kSettingsFileName = "zzzumb.ini";

// The seven records, or nothing when the file is missing, short, or holds anything that is
// not a 16-bit integer where a number belongs. Numbers are separated by commas or line ends,
// with blanks around them ignored; whatever follows the 28th number is not read.
std::optional<Placements> ReadSettingsFile(const std::string& path);

// The same from the file's text.
std::optional<Placements> ParseSettingsText(std::string_view text);

// The file's text: one line per record, CR LF ended.
std::string SettingsText(const Placements& placements);

// Writes the file through a temporary name renamed into place, so that a failed write never
// leaves a half-written file. Returns "" on success, otherwise the reason.
std::string WriteSettingsFile(const std::string& path, const Placements& placements);

// Replaces path with text crash-safely (common/atomic_file.h): the settings file and the
// results file both go through it. Returns "" on success, otherwise the reason naming the
// file; the file is then as it was.
std::string WriteFileAtomically(const std::string& path, const std::string& text);

}  // namespace umbrix
