#include "converter/core/settings.h"

#include <gtest/gtest.h>

#include <cmath>

#include "converter/core/text_fields.h"

namespace hjdprep {
namespace {

TEST(SettingsFile, ReadsTheEightLines) {
    const auto s = ParseSettings("/data/obs.std\n 1\n 2\n 48\n 55.5\n 69\n 38\nCASRZ\n");
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->StdFileName, "/data/obs.std");
    EXPECT_EQ(s->zone, TimeZone::UT);
    EXPECT_EQ(s->coordinates.RaHour, 2);
    EXPECT_EQ(s->coordinates.RaMinute, 48);
    EXPECT_DOUBLE_EQ(s->coordinates.RaSecond, 55.5);
    EXPECT_EQ(s->coordinates.DecDegree, 69);
    EXPECT_EQ(s->coordinates.DecMinute, 38);
    EXPECT_EQ(s->StarName, "CASRZ");
}

struct ZoneCase {
    const char* name;
    const char* line2;
    TimeZone zone;
};

class SettingsZoneTest : public testing::TestWithParam<ZoneCase> {};

TEST_P(SettingsZoneTest, OnlyOneMeansUt) {
    const auto s = ParseSettings(std::string("obs.std\n") + GetParam().line2 + "\n0\n0\n0\n0\n0\nX\n");
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->zone, GetParam().zone);
}

INSTANTIATE_TEST_SUITE_P(Line2, SettingsZoneTest,
                         testing::Values(ZoneCase{"One", " 1", TimeZone::UT}, ZoneCase{"Two", " 2", TimeZone::JST},
                                         ZoneCase{"Seven", "7", TimeZone::JST}, ZoneCase{"Empty", "", TimeZone::JST},
                                         ZoneCase{"OneWithComma", "1,2", TimeZone::UT}),
                         [](const testing::TestParamInfo<ZoneCase>& info) { return std::string(info.param.name); });

TEST(SettingsFile, ValueEndsAtACommaAndLosesSurroundingBlanks) {
    const auto s = ParseSettings("  obs.std , rest\r\n1\r\n 05\r\n0\r\n0\r\n0\r\n0\r\n  RZ Cas  \r\n");
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->StdFileName, "obs.std");
    EXPECT_EQ(s->coordinates.RaHour, 5);
    EXPECT_EQ(s->StarName, "RZ Cas");
}

// Paths are whatever the file system allows: commas, blanks at either end, quotes, Japanese.
// Each comes back exactly through the file; a plain one is still written plainly.
TEST(SettingsFile, AnyLogPathAndStarNameSurviveSaveAndLoad) {
    for (const std::string path : {"/data/観測 2007/obs, night 1.std", "  lead and trail\t ", "say \"hi\",.std",
                                   "\"", "a\r"}) {
        ConverterSettings s;
        s.StdFileName = path;
        s.StarName = "RZ, Cas ";
        const std::string text = SettingsText(s);
        const auto back = ParseSettings(text);
        ASSERT_TRUE(back.has_value()) << text;
        EXPECT_EQ(back->StdFileName, path) << text;
        EXPECT_EQ(back->StarName, "RZ, Cas ") << text;
    }
    ConverterSettings plain;
    plain.StdFileName = "C:/観測/obs.std";
    EXPECT_EQ(SettingsText(plain).rfind("C:/観測/obs.std\n 1\n", 0), 0u) << SettingsText(plain);
}

// Written as "1e+20" and "1e-05", such values came back as 1 (found by fuzzing).
TEST(SettingsFile, HugeAndTinyCoordinatesComeBackWithoutAnExponent) {
    ConverterSettings s;
    s.coordinates = {1e20, 0.00001, 0, -2e15, 0, 0};
    const std::string text = SettingsText(s);
    EXPECT_EQ(text.find('e'), std::string::npos) << text;
    const auto back = ParseSettings(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->coordinates.RaHour, 1e20);
    EXPECT_EQ(back->coordinates.RaMinute, 0.00001);
    EXPECT_EQ(back->coordinates.DecDegree, -2e15);
}

TEST(SettingsFile, FewerThanEightLinesIsNoSettings) {
    EXPECT_FALSE(ParseSettings("obs.std\n1\n0\n0\n0\n0\n0\n").has_value());
    EXPECT_FALSE(ParseSettings("").has_value());
}

TEST(SettingsFile, WritesNumbersWithABlankForThePlusSign) {
    ConverterSettings s;
    s.StdFileName = "obs.std";
    s.zone = TimeZone::JST;
    s.coordinates = {18, 45, 30.5, -23, 30, 0};
    s.StarName = "SGRV4";
    EXPECT_EQ(SettingsText(s), "obs.std\n 2\n 18\n 45\n 30.5\n-23\n 30\nSGRV4\n");
}

struct RoundTripCase {
    const char* name;
    StarCoordinates written;
    const char* degreesBox;  // the degrees box text after reading back
    double declination;      // decimal degrees the next run computes with
};

class SettingsRoundTripTest : public testing::TestWithParam<RoundTripCase> {};

// What the window saves, reads back and shows must give the next run the same hemisphere.
TEST_P(SettingsRoundTripTest, KeepsTheHemisphere) {
    ConverterSettings s;
    s.coordinates = GetParam().written;
    const auto back = ParseSettings(SettingsText(s));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(DegreesText(back->coordinates.DecDegree), GetParam().degreesBox);
    EXPECT_GE(back->coordinates.DecMinute, 0) << "minutes are stored without sign";
    const double degrees = back->coordinates.DecDegree;
    const double minutes = std::signbit(degrees) ? -back->coordinates.DecMinute : back->coordinates.DecMinute;
    EXPECT_DOUBLE_EQ(degrees + minutes / 60, GetParam().declination);
}

INSTANTIATE_TEST_SUITE_P(
    Declinations, SettingsRoundTripTest,
    testing::Values(RoundTripCase{"North", {2, 48, 55, 69, 38, 0}, "+69", 69 + 38 / 60.0},
                    RoundTripCase{"SouthAfterSearch", {18, 45, 0, -23, 30, 0}, "-23", -23.5},
                    RoundTripCase{"SouthAfterRunHasNegativeMinutes", {18, 45, 0, -23, -30, 0}, "-23", -23.5},
                    RoundTripCase{"MinusZeroDegreesKeepsItsSign", {18, 45, 0, -0.0, 30, 0}, "-00", -0.5},
                    RoundTripCase{"ZeroDegreesNegativeMinutes", {18, 45, 0, 0, -30, 0}, "-00", -0.5},
                    RoundTripCase{"ZeroNorth", {0, 0, 0, 0, 0, 0}, "+00", 0.0}),
    [](const testing::TestParamInfo<RoundTripCase>& info) { return std::string(info.param.name); });

struct TextCase {
    const char* name;
    const char* text;
    double value;
    bool negative;
};

class LeadingNumberTest : public testing::TestWithParam<TextCase> {};

// 400 digits: beyond any double, read as no number (it used to become infinity, which the
// settings file then wrote as "inf").
const std::string kBeyondADouble = "-1" + std::string(400, '0');

TEST_P(LeadingNumberTest, ReadsTheLeadingNumber) {
    const double v = LeadingNumber(GetParam().text);
    EXPECT_DOUBLE_EQ(v, GetParam().value);
    EXPECT_EQ(std::signbit(v), GetParam().negative);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingNumberTest,
    testing::Values(TextCase{"Plain", "23", 23, false}, TextCase{"PlusSign", "+23", 23, false},
                    TextCase{"MinusZeroKeepsSign", "-00", 0, true}, TextCase{"LeadingZero", "05", 5, false},
                    TextCase{"Fraction", " 30.25", 30.25, false}, TextCase{"StopsAtLetter", "12ab", 12, false},
                    TextCase{"SecondPointStops", "1.2.3", 1.2, false}, TextCase{"NoNumber", "abc", 0, false},
                    TextCase{"Empty", "", 0, false}, TextCase{"OnlySign", "-", 0, true},
                    TextCase{"BeyondADouble", kBeyondADouble.c_str(), 0, true}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(DegreesText, AlwaysSignAndTwoDigits) {
    EXPECT_EQ(DegreesText(5), "+05");
    EXPECT_EQ(DegreesText(-23), "-23");
    EXPECT_EQ(DegreesText(-0.0), "-00");
    EXPECT_EQ(DegreesText(-5.5), "-05.5");
    EXPECT_EQ(NumberText(-0.0), "0");
}

}  // namespace
}  // namespace hjdprep
