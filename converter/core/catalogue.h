#pragma once
// The star catalogue "star.dat": one star per line, name in bytes 1-20 (blank-padded),
// right ascension hours, minutes, seconds in bytes 48-49, 51-52, 54-55, declination degrees
// with sign in 58-60 and minutes in 62-63. Other columns are not read.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "converter/core/julian.h"

namespace hjdprep {

// The five coordinate texts of a star, as the boxes Text2 .. Text6 show them.
struct CoordinateTexts {
    std::string RaHour, RaMinute, RaSecond, DecDegree, DecMinute;
};

// A catalogue entry as found: its name as compared, and its coordinate texts.
struct CatalogueStar {
    std::string name;  // 20 bytes
    CoordinateTexts texts;
    StarCoordinates coordinates;  // CoordinatesFromTexts(texts)
};

// The coordinates the converter computes with, from the five box texts: each the value of
// its leading number. A degrees text starting with "-" (after blanks) or a negative degrees
// value makes the star southern, and the minutes then carry the minus sign too, whatever
// sign was typed before them.
StarCoordinates CoordinatesFromTexts(const CoordinateTexts& texts);

// The five boxes, in the order of CoordinateTexts.
enum class CoordinateBox { RaHour, RaMinute, RaSecond, DecDegree, DecMinute };

// A coordinate no star can have, found in one box: what it holds and the range it must keep
// ("99", "0 to 24").
struct CoordinateProblem {
    CoordinateBox box;
    std::string value;
    std::string range;
};

// Checks the five texts as CoordinatesFromTexts reads them: hours 0 to 24, minutes and
// seconds of right ascension 0 to below 60 (at most 24 h in all), degrees -90 to +90,
// declination minutes of size below 60 (a minus there says south; at most 90 deg in all). A typing slip such as "99:99"
// would otherwise go silently into every HJD of the run. Returns the first box that fails.
std::optional<CoordinateProblem> CheckCoordinates(const CoordinateTexts& texts);

// The quantity a box holds, for messages: "right ascension hours" .. "declination minutes".
const char* CoordinateName(CoordinateBox box);

// The "search" button's look-up: the first line whose bytes 1-20 equal the first 20 bytes of
// name padded with blanks. The name is compared as typed (no alias, no "V0" rewriting).
std::optional<CatalogueStar> FindTypedName(std::string_view catalogueText, std::string_view name);

// The catalogue as the conversion run reads it: names with "V0" rewritten (bytes 1-4, then
// 6-15, padded to 20, as log names are), the first line of each name winning.
class Catalogue {
public:
    explicit Catalogue(std::string_view text);
    // The star of that 20-byte name, or nullptr.
    const CatalogueStar* Find(const std::string& name20) const;
    std::size_t size() const { return stars_.size(); }

private:
    std::vector<CatalogueStar> stars_;
    std::unordered_map<std::string, std::size_t> byName_;
};

}  // namespace hjdprep
