#include "converter/core/catalogue.h"

#include <cmath>

#include "converter/core/log_record.h"
#include "converter/core/text_fields.h"

namespace hjdprep {

namespace {

template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!visit(line)) return;
    }
}

CoordinateTexts TextsOfLine(std::string_view line) {
    return {std::string(Mid(line, 48, 2)), std::string(Mid(line, 51, 2)), std::string(Mid(line, 54, 2)),
            std::string(Mid(line, 58, 3)), std::string(Mid(line, 62, 2))};
}

}  // namespace

StarCoordinates CoordinatesFromTexts(const CoordinateTexts& texts) {
    StarCoordinates c;
    c.RaHour = LeadingNumber(texts.RaHour);
    c.RaMinute = LeadingNumber(texts.RaMinute);
    c.RaSecond = LeadingNumber(texts.RaSecond);
    c.DecDegree = LeadingNumber(texts.DecDegree);
    c.DecMinute = LeadingNumber(texts.DecMinute);
    const std::string_view degrees = TrimBlanks(texts.DecDegree);
    const bool south = (!degrees.empty() && degrees.front() == '-') || c.DecDegree < 0;
    if (south) c.DecMinute = -std::fabs(c.DecMinute);
    c.DecSecond = 0;
    return c;
}

std::optional<CatalogueStar> FindTypedName(std::string_view catalogueText, std::string_view name) {
    const std::string key = FitWidth(name, kNameWidth);
    std::optional<CatalogueStar> found;
    ForEachLine(catalogueText, [&](std::string_view line) {
        if (FitWidth(Mid(line, 1, kNameWidth), kNameWidth) != key) return true;
        CoordinateTexts texts = TextsOfLine(line);
        const StarCoordinates coordinates = CoordinatesFromTexts(texts);
        found = CatalogueStar{key, std::move(texts), coordinates};
        return false;
    });
    return found;
}

Catalogue::Catalogue(std::string_view text) {
    ForEachLine(text, [&](std::string_view line) {
        std::string name = FitWidth(Mid(line, 1, kNameWidth), kNameWidth);
        if (name[3] == 'V' && name[4] == '0')
            name = FitWidth(name.substr(0, 4) + name.substr(5, 10), kNameWidth);
        if (byName_.emplace(name, stars_.size()).second) {
            CoordinateTexts texts = TextsOfLine(line);
            const StarCoordinates coordinates = CoordinatesFromTexts(texts);
            stars_.push_back(CatalogueStar{std::move(name), std::move(texts), coordinates});
        }
        return true;
    });
}

const CatalogueStar* Catalogue::Find(const std::string& name20) const {
    const auto it = byName_.find(name20);
    return it == byName_.end() ? nullptr : &stars_[it->second];
}

}  // namespace hjdprep
