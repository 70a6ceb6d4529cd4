#include "converter/settings.h"

#include <cmath>
#include <vector>

#include "converter/text_fields.h"

namespace hjdprep {

namespace {

std::string SignedNumber(double value) {
    // A blank stands where the sign of a positive number would; negative zero keeps "-".
    if (std::signbit(value)) return "-" + NumberText(std::fabs(value));
    return " " + NumberText(value);
}

}  // namespace

std::optional<ConverterSettings> ParseSettings(std::string_view text) {
    std::vector<std::string_view> values;
    while (!text.empty() && values.size() < 8) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        values.push_back(TrimBlanks(line.substr(0, line.find(','))));
    }
    if (values.size() < 8) return std::nullopt;

    ConverterSettings s;
    s.StdFileName = std::string(values[0]);
    s.zone = LeadingNumber(values[1]) == 1 ? TimeZone::UT : TimeZone::JST;
    s.coordinates.RaHour = LeadingNumber(values[2]);
    s.coordinates.RaMinute = LeadingNumber(values[3]);
    s.coordinates.RaSecond = LeadingNumber(values[4]);
    s.coordinates.DecDegree = LeadingNumber(values[5]);
    s.coordinates.DecMinute = LeadingNumber(values[6]);
    s.StarName = std::string(values[7]);
    return s;
}

std::string SettingsText(const ConverterSettings& s) {
    std::string text = s.StdFileName + "\n";
    text += s.zone == TimeZone::UT ? " 1\n" : " 2\n";
    text += SignedNumber(s.coordinates.RaHour) + "\n";
    text += SignedNumber(s.coordinates.RaMinute) + "\n";
    text += SignedNumber(s.coordinates.RaSecond) + "\n";
    // The hemisphere rides on the degrees: minutes typed as "-30" under "+00" still mean south.
    const bool south = std::signbit(s.coordinates.DecDegree) || s.coordinates.DecMinute < 0;
    const double degrees = std::fabs(s.coordinates.DecDegree);
    text += SignedNumber(south ? -degrees : degrees) + "\n";
    text += SignedNumber(std::fabs(s.coordinates.DecMinute)) + "\n";
    text += s.StarName + "\n";
    return text;
}

}  // namespace hjdprep
