#pragma once
// The light curves opened last, newest first, as File > Open Recent lists them and
// recent_files.ini (beside zzzumb.ini) keeps them between runs: one absolute path a line.

#include <string>
#include <vector>

namespace umbrix {

inline constexpr std::size_t kMaxRecentFiles = 8;

// The paths of a recent_files.ini text: blank lines dropped, repeats after the first dropped,
// at most kMaxRecentFiles kept. A damaged file costs the list, never the start-up.
std::vector<std::string> ParseRecentFiles(const std::string& text);

// The list after path was opened: path first, its older entry gone, the oldest beyond
// kMaxRecentFiles dropped.
std::vector<std::string> RecentFilesAfterOpening(std::vector<std::string> list, const std::string& path);

std::string RecentFilesText(const std::vector<std::string>& list);

}  // namespace umbrix
