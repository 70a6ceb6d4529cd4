#include "converter/core/settings.h"

#include <cmath>
#include <vector>

#include "converter/core/text_fields.h"

namespace hjdprep {

namespace {

std::string SignedNumber(double value) {
    // A blank stands where the sign of a positive number would; negative zero keeps "-".
    // Appended rather than "-" + text: GCC 12 at -O3 sees a false overlap (-Wrestrict) there.
    std::string text(1, std::signbit(value) ? '-' : ' ');
    return text += NumberText(std::fabs(value));
}

// A text value (the log path, the star name) as its line holds it. A value that the plain
// reading would change - a comma, a quote, a blank or tab at either end, a carriage return -
// is written between double quotes with each quote doubled, so that any path survives.
bool NeedsQuotes(std::string_view value) {
    if (value.find_first_of(",\"\r") != std::string_view::npos) return true;
    return !value.empty() && (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' ||
                              value.back() == '\t');
}

std::string TextValue(std::string_view value) {
    if (!NeedsQuotes(value)) return std::string(value);
    std::string out = "\"";
    for (char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

// Reads a value: a quoted one up to its closing quote (a doubled quote stands for one), an
// unquoted one up to a comma, without surrounding blanks (how files written before quoting
// existed are read, too).
std::string ReadValue(std::string_view line) {
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed.front() != '"') return std::string(TrimBlanks(line.substr(0, line.find(','))));
    std::string value;
    for (std::size_t i = 1; i < trimmed.size(); ++i) {
        if (trimmed[i] != '"') {
            value += trimmed[i];
        } else if (i + 1 < trimmed.size() && trimmed[i + 1] == '"') {
            value += '"';
            ++i;
        } else {
            break;
        }
    }
    return value;
}

}  // namespace

std::optional<ConverterSettings> ParseSettings(std::string_view text) {
    std::vector<std::string> values;
    while (!text.empty() && values.size() < 8) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        values.push_back(ReadValue(line));
    }
    if (values.size() < 8) return std::nullopt;

    ConverterSettings s;
    s.StdFileName = values[0];
    s.zone = LeadingNumber(values[1]) == 1 ? TimeZone::UT : TimeZone::JST;
    s.coordinates.RaHour = LeadingNumber(values[2]);
    s.coordinates.RaMinute = LeadingNumber(values[3]);
    s.coordinates.RaSecond = LeadingNumber(values[4]);
    s.coordinates.DecDegree = LeadingNumber(values[5]);
    s.coordinates.DecMinute = LeadingNumber(values[6]);
    s.StarName = values[7];
    return s;
}

std::string SettingsText(const ConverterSettings& s) {
    std::string text = TextValue(s.StdFileName) + "\n";
    text += s.zone == TimeZone::UT ? " 1\n" : " 2\n";
    text += SignedNumber(s.coordinates.RaHour) + "\n";
    text += SignedNumber(s.coordinates.RaMinute) + "\n";
    text += SignedNumber(s.coordinates.RaSecond) + "\n";
    // The hemisphere rides on the degrees: minutes typed as "-30" under "+00" still mean south.
    const bool south = std::signbit(s.coordinates.DecDegree) || s.coordinates.DecMinute < 0;
    const double degrees = std::fabs(s.coordinates.DecDegree);
    text += SignedNumber(south ? -degrees : degrees) + "\n";
    text += SignedNumber(std::fabs(s.coordinates.DecMinute)) + "\n";
    text += TextValue(s.StarName) + "\n";
    return text;
}

}  // namespace hjdprep
