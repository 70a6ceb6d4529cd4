// star.dat, as the search button and the conversion run read it. Every line's name is found
// (the first line of that name wins), with the coordinate texts of that line's columns and
// finite coordinates whose declination minutes carry the hemisphere of the degrees.

#include <cmath>
#include <set>

#include "converter/core/catalogue.h"
#include "converter/core/log_record.h"
#include "converter/core/text_fields.h"
#include "fuzz/check.h"

namespace {

void CheckCoordinates(const hjdprep::CatalogueStar& star) {
    const hjdprep::StarCoordinates& c = star.coordinates;
    for (double v : {c.RaHour, c.RaMinute, c.RaSecond, c.DecDegree, c.DecMinute})
        FUZZ_CHECK(std::isfinite(v));
    FUZZ_CHECK(c.DecSecond == 0);
    if (std::signbit(c.DecDegree)) FUZZ_CHECK(c.DecMinute <= 0);
    FUZZ_CHECK(star.texts.RaHour.size() <= 2 && star.texts.DecDegree.size() <= 3);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::AsText(data, size);
    const hjdprep::Catalogue catalogue(text);
    std::set<std::string> typedNames;
    std::size_t lines = 0;
    for (const std::string_view line : fuzz::Lines(text)) {
        ++lines;

        const std::string name = hjdprep::FitWidth(hjdprep::Mid(line, 1, hjdprep::kNameWidth), hjdprep::kNameWidth);
        const bool firstOfName = typedNames.insert(name).second;
        // The typed search reads the whole text for each name, so only the first lines are
        // looked up that way (the run's catalogue below is checked for every line): it finds
        // this name, on this line when it is the first of its name.
        if (lines <= 16) {
            const auto typed = hjdprep::FindTypedName(text, name);
            FUZZ_CHECK(typed.has_value());
            FUZZ_CHECK(typed->name == name);
            CheckCoordinates(*typed);
            if (firstOfName)
                FUZZ_CHECK(typed->texts.RaHour == hjdprep::Mid(line, 48, 2) &&
                           typed->texts.DecMinute == hjdprep::Mid(line, 62, 2));
        }

        // The run's catalogue knows the name as a log would write it.
        std::string runName = name;
        if (runName[3] == 'V' && runName[4] == '0')
            runName = hjdprep::FitWidth(runName.substr(0, 4) + runName.substr(5, 10), hjdprep::kNameWidth);
        const hjdprep::CatalogueStar* found = catalogue.Find(runName);
        FUZZ_CHECK(found != nullptr);
        FUZZ_CHECK(found->name == runName);
        CheckCoordinates(*found);
    }
    FUZZ_CHECK(catalogue.size() <= lines);
    FUZZ_CHECK(catalogue.size() <= typedNames.size());
    return 0;
}
