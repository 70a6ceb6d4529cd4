#include "timing/core/files/settings_file.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "common/atomic_file.h"

namespace umbrix {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// A 16-bit signed integer with an optional sign, nothing else.
std::optional<int> ParseInt16(std::string_view s) {
    s = Trim(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    int value = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
    if (value < -32768 || value > 32767) return std::nullopt;
    return value;
}

}  // namespace

std::optional<Placements> ReadSettingsFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return ParseSettingsText(text);
}

std::optional<Placements> ParseSettingsText(std::string_view text) {
    std::vector<int> numbers;
    std::size_t start = 0;
    constexpr std::size_t kNeeded = 4 * kPlacementCount;
    while (numbers.size() < kNeeded && start < text.size()) {
        const std::size_t end = text.find_first_of(",\r\n", start);
        const std::string_view field(text.data() + start,
                                     (end == std::string::npos ? text.size() : end) - start);
        // A line end right after a comma or another line end separates nothing.
        const bool afterLineEnd = start > 0 && (text[start - 1] == '\r' || text[start - 1] == '\n');
        if (!(field.empty() && afterLineEnd)) {
            const auto value = ParseInt16(field);
            if (!value) return std::nullopt;
            numbers.push_back(*value);
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (numbers.size() < kNeeded) return std::nullopt;

    Placements p;
    for (int w = 0; w < kPlacementCount; ++w)
        p[w] = {numbers[4 * w], numbers[4 * w + 1], numbers[4 * w + 2], numbers[4 * w + 3]};
    return p;
}

std::string SettingsText(const Placements& placements) {
    std::string text;
    for (const WindowPlacement& p : placements)
        text += std::to_string(p.left) + "," + std::to_string(p.top) + "," +
                std::to_string(p.width) + "," + std::to_string(p.height) + "\r\n";
    return text;
}

std::string WriteSettingsFile(const std::string& path, const Placements& placements) {
    return WriteFileAtomically(path, SettingsText(placements));
}

std::string WriteFileAtomically(const std::string& path, const std::string& text) {
    return atomicfile::WriteFile(path, text);
}

}  // namespace umbrix
