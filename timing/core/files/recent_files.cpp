#include "timing/core/files/recent_files.h"

#include <algorithm>
#include <sstream>

namespace umbrix {

std::vector<std::string> ParseRecentFiles(const std::string& text) {
    std::vector<std::string> list;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line) && list.size() < kMaxRecentFiles;) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || std::find(list.begin(), list.end(), line) != list.end()) continue;
        list.push_back(line);
    }
    return list;
}

std::vector<std::string> RecentFilesAfterOpening(std::vector<std::string> list, const std::string& path) {
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    list.insert(list.begin(), path);
    if (list.size() > kMaxRecentFiles) list.resize(kMaxRecentFiles);
    return list;
}

std::string RecentFilesText(const std::vector<std::string>& list) {
    std::string text;
    for (const std::string& path : list) text.append(path).append("\n");
    return text;
}

}  // namespace umbrix
