#include "timing/core/oc/remembered_ephemerides.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "timing/core/oc/oc.h"

namespace umbrix {

std::vector<RememberedEphemeris> ParseRememberedEphemerides(const std::string& text) {
    std::vector<RememberedEphemeris> list;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto first = line.find(','), second = first == std::string::npos ? first : line.find(',', first + 1);
        if (second == std::string::npos || second + 1 >= line.size()) continue;
        RememberedEphemeris e{line.substr(second + 1), line.substr(0, first), line.substr(first + 1, second - first - 1)};
        double t0 = 0, p = 0;
        if (!ParseEphemeris(e.t0, e.p, t0, p).empty()) continue;
        list = Remember(std::move(list), e);
    }
    return list;
}

std::string RememberedEphemeridesText(const std::vector<RememberedEphemeris>& list) {
    std::string text;
    for (const RememberedEphemeris& e : list) {
        text.append(e.t0).append(",").append(e.p).append(",").append(e.table).append("\n");
    }
    return text;
}

std::optional<RememberedEphemeris> FindRemembered(const std::vector<RememberedEphemeris>& list,
                                                  const std::string& table) {
    const auto it = std::find_if(list.begin(), list.end(), [&](const auto& e) { return e.table == table; });
    if (it == list.end()) return std::nullopt;
    return *it;
}

std::vector<RememberedEphemeris> Remember(std::vector<RememberedEphemeris> list, const RememberedEphemeris& entry) {
    const auto it = std::find_if(list.begin(), list.end(), [&](const auto& e) { return e.table == entry.table; });
    if (it != list.end())
        *it = entry;
    else
        list.push_back(entry);
    return list;
}

std::string ExactDecimal(double value) {
    char buffer[400];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (r.ec != std::errc()) return "0";
    return std::string(buffer, r.ptr);
}

}  // namespace umbrix
