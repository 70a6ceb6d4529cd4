#include "converter/core/catalogue.h"

#include <gtest/gtest.h>

#include <cmath>

#include "temp_dir.h"

namespace hjdprep {
namespace {

std::string FixtureCatalogue() {
    std::ifstream in(test::Fixture("star.dat"), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(SearchByTypedName, ComparesTheNamePaddedToTwentyAndTheFirstLineWins) {
    const auto found = FindTypedName(FixtureCatalogue(), "CASRZ");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->texts.RaHour, "02");
    EXPECT_EQ(found->texts.RaMinute, "48");
    EXPECT_EQ(found->texts.RaSecond, "55");
    EXPECT_EQ(found->texts.DecDegree, "+69");
    EXPECT_EQ(found->texts.DecMinute, "38");
}

TEST(SearchByTypedName, AppliesNoVariableZeroRewriting) {
    EXPECT_TRUE(FindTypedName(FixtureCatalogue(), "CASV0455").has_value());
    EXPECT_FALSE(FindTypedName(FixtureCatalogue(), "CASV455").has_value());
    // A prefix is not a match: "CAS" padded differs from "CASRZ" padded.
    EXPECT_FALSE(FindTypedName(FixtureCatalogue(), "CAS").has_value());
}

TEST(SearchByTypedName, ShortAndEmptyLinesNeverReadPastTheirEnd) {
    const std::string text = "\nCASRZ\nCASRZ                xx 01 02\n\r\nX";
    const auto found = FindTypedName(text, "CASRZ");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->texts.RaHour, "");
    EXPECT_EQ(CoordinatesFromTexts(found->texts).RaHour, 0);
}

TEST(RunCatalogue, RewritesVariableZeroNamesAndCutsThemAtFifteen) {
    const Catalogue catalogue(
        "CASV0455                                       23 58 01  +60 12\n"
        "SGRV0123456789ABCDEF                           01 00 00  +00 00\n");
    ASSERT_NE(catalogue.Find("CASV455             "), nullptr);
    EXPECT_EQ(catalogue.Find("CASV455             ")->texts.RaHour, "23");
    EXPECT_EQ(catalogue.Find("CASV0455            "), nullptr);
    // Bytes 1-4 and 6-15 only: the catalogue name loses its last five bytes.
    EXPECT_NE(catalogue.Find("SGRV123456789A      "), nullptr);
}

TEST(RunCatalogue, FirstLineOfADuplicatedNameWins) {
    const Catalogue catalogue(FixtureCatalogue());
    ASSERT_NE(catalogue.Find("CASRZ               "), nullptr);
    EXPECT_EQ(catalogue.Find("CASRZ               ")->texts.RaHour, "02");
    EXPECT_EQ(catalogue.size(), 4u);
}

struct CoordinateCase {
    const char* name;
    CoordinateTexts texts;
    double decimalDegrees;  // declination the correction will use
};

class CoordinatesFromTextsTest : public testing::TestWithParam<CoordinateCase> {};

TEST_P(CoordinatesFromTextsTest, GivesTheDeclination) {
    const StarCoordinates c = CoordinatesFromTexts(GetParam().texts);
    EXPECT_DOUBLE_EQ(c.DecDegree + c.DecMinute / 60 + c.DecSecond / 3600, GetParam().decimalDegrees);
    EXPECT_EQ(c.DecSecond, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, CoordinatesFromTextsTest,
    testing::Values(CoordinateCase{"North", {"02", "48", "55", "+69", "38"}, 69 + 38 / 60.0},
                    CoordinateCase{"South", {"18", "45", "00", "-23", "30"}, -23.5},
                    CoordinateCase{"MinusZeroDegreesIsSouth", {"18", "45", "00", "-00", "30"}, -0.5},
                    CoordinateCase{"BlankBeforeMinus", {"18", "45", "00", " -00", "30"}, -0.5},
                    CoordinateCase{"TypedMinusMinutesUnderMinusDegreesStaySouth", {"0", "0", "0", "-23", "-30"}, -23.5},
                    CoordinateCase{"MinusMinutesUnderZeroDegrees", {"0", "0", "0", "+00", "-30"}, -0.5},
                    CoordinateCase{"EmptyBoxesAreZero", {"", "", "", "", ""}, 0.0},
                    CoordinateCase{"TrailingLettersIgnored", {"1h", "2m", "3s", "+5d", "30'"}, 5.5}),
    [](const testing::TestParamInfo<CoordinateCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hjdprep

namespace hjdprep {
namespace {

struct BoxCase {
    const char* name;
    CoordinateTexts texts;
    bool refused;
    CoordinateBox box;  // the box named when refused
};

class CheckCoordinatesTest : public testing::TestWithParam<BoxCase> {};

TEST_P(CheckCoordinatesTest, RefusesWhatNoStarHasAndNamesTheBox) {
    const std::optional<CoordinateProblem> p = CheckCoordinates(GetParam().texts);
    ASSERT_EQ(p.has_value(), GetParam().refused);
    if (p) {
        EXPECT_EQ(p->box, GetParam().box);
    }
}

using B = CoordinateBox;
INSTANTIATE_TEST_SUITE_P(
    Boxes, CheckCoordinatesTest,
    testing::Values(BoxCase{"EdgesOfTheSky", {"24", "00", "00", "+90", "00"}, false, B::RaHour},
                    BoxCase{"SouthPole", {"0", "0", "0", "-90", "0"}, false, B::RaHour},
                    BoxCase{"LastSecondBeforeMidnight", {"23", "59", "59.9", "-89", "59.9"}, false, B::RaHour},
                    BoxCase{"MinusMinutesSaySouth", {"18", "45", "00", "+00", "-30"}, false, B::RaHour},
                    BoxCase{"EmptyBoxes", {"", "", "", "", ""}, false, B::RaHour},
                    BoxCase{"Hours99", {"99", "99", "99", "+120", "75"}, true, B::RaHour},
                    BoxCase{"NegativeHours", {"-1", "00", "00", "+00", "00"}, true, B::RaHour},
                    BoxCase{"Minutes60", {"12", "60", "00", "+00", "00"}, true, B::RaMinute},
                    BoxCase{"Seconds60", {"12", "00", "60", "+00", "00"}, true, B::RaSecond},
                    BoxCase{"PastTwentyFourHours", {"24", "00", "01", "+00", "00"}, true, B::RaHour},
                    BoxCase{"Degrees120", {"12", "00", "00", "+120", "00"}, true, B::DecDegree},
                    BoxCase{"DegreesMinus91", {"12", "00", "00", "-91", "00"}, true, B::DecDegree},
                    BoxCase{"DecMinutes75", {"12", "00", "00", "+45", "75"}, true, B::DecMinute},
                    BoxCase{"PastThePole", {"12", "00", "00", "-90", "30"}, true, B::DecDegree}),
    [](const testing::TestParamInfo<BoxCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hjdprep
