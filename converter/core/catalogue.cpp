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

std::optional<CoordinateProblem> CheckCoordinates(const CoordinateTexts& texts) {
    const StarCoordinates c = CoordinatesFromTexts(texts);
    const auto problem = [](CoordinateBox box, const std::string& text,
                            const char* range) -> std::optional<CoordinateProblem> {
        return CoordinateProblem{box, std::string(TrimBlanks(text)), range};
    };
    // A minus on the minutes is a way of saying south (a star at -0 deg 30 min), so only
    // their size is checked.
    const double decMinute = std::fabs(c.DecMinute);
    if (c.RaHour < 0 || c.RaHour > 24) return problem(CoordinateBox::RaHour, texts.RaHour, "0 to 24");
    if (c.RaMinute < 0 || c.RaMinute >= 60) return problem(CoordinateBox::RaMinute, texts.RaMinute, "0 to 59");
    if (c.RaSecond < 0 || c.RaSecond >= 60) return problem(CoordinateBox::RaSecond, texts.RaSecond, "0 to 59");
    if (c.RaHour + c.RaMinute / 60 + c.RaSecond / 3600 > 24)
        return problem(CoordinateBox::RaHour, texts.RaHour, "0 to 24 with the minutes and seconds");
    if (std::fabs(c.DecDegree) > 90) return problem(CoordinateBox::DecDegree, texts.DecDegree, "-90 to +90");
    if (decMinute < 0 || decMinute >= 60) return problem(CoordinateBox::DecMinute, texts.DecMinute, "0 to 59");
    if (std::fabs(c.DecDegree) + decMinute / 60 > 90)
        return problem(CoordinateBox::DecDegree, texts.DecDegree, "-90 to +90 with the minutes");
    return std::nullopt;
}

const char* CoordinateName(CoordinateBox box) {
    switch (box) {
        case CoordinateBox::RaHour: return "right ascension hours";
        case CoordinateBox::RaMinute: return "right ascension minutes";
        case CoordinateBox::RaSecond: return "right ascension seconds";
        case CoordinateBox::DecDegree: return "declination degrees";
        case CoordinateBox::DecMinute: return "declination minutes";
    }
    return "coordinate";
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
