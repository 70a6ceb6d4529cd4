#include "timing/core/data/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace umbrix {
namespace {

struct FixedCase {
    const char* name;
    double value;
    int width;
    int decimals;
    const char* expected;
    friend void PrintTo(const FixedCase& c, std::ostream* os) { *os << c.name; }
};

class FormatFixedExamples : public testing::TestWithParam<FixedCase> {};

TEST_P(FormatFixedExamples, GivesTheExactText) {
    const FixedCase& c = GetParam();
    EXPECT_EQ(FormatFixed(c.value, c.width, c.decimals), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FormatFixedExamples,
    testing::Values(
        FixedCase{"ZerosAppendedWithoutRounding", 0.45, 8, 4, "  0.4500"},
        FixedCase{"RoundedValueKeepsOnlyItsOwnDecimals", 0.129961, 8, 4, "    0.13"},
        FixedCase{"FullJulianDate", 2454123.456789, 14, 5, " 2454123.45679"},
        FixedCase{"NegativeBelowOne", -0.5, 6, 2, " -0.50"},
        FixedCase{"ZeroGetsTwoLeadingZeros", 0, 6, 2, " 00.00"},
        FixedCase{"OneTooLongIsCutNotRounded", 123.456, 5, 2, "123.4"},
        FixedCase{"FarTooLongFallsBackToScientific", 12345678.9, 8, 2, "0.12e+08"},
        FixedCase{"FourTooLongWithinDecimalsIsCut", 123456.789, 8, 5, "123456.7"},
        FixedCase{"SmallErrorStaysPlain", 6.06e-5, 14, 5, "       0.00006"},
        FixedCase{"TenMicrodaysStayPlain", 1e-5, 14, 5, "       0.00001"},
        FixedCase{"ErrorRoundingToZeroIsWhole", 1e-6, 14, 5, "            00"},
        FixedCase{"RoundsHalfUpAtLastDecimal", 2454123.512345, 14, 5, " 2454123.51235"},
        FixedCase{"RoundingCarriesIntoWholeNumber", 0.999996, 14, 5, "            01"},
        FixedCase{"TwelveWideMean", 0.00071, 12, 5, "     0.00071"},
        FixedCase{"HugeValueGoesToScientific", 1e20, 14, 5, "0.10000000e+21"},
        FixedCase{"TinyValueShowsAsScientificZero", 1e-20, 14, 5, " .00000000e+00"}),
    [](const testing::TestParamInfo<FixedCase>& info) { return info.param.name; });

TEST(FormatSci, GivesTheExactText) {
    EXPECT_EQ(FormatSci(12345.678, 12, 5), " 0.12346e+05");
    EXPECT_EQ(FormatSci(0.00123, 12, 5), " 0.12300e-02");
    EXPECT_EQ(FormatSci(0, 12, 5), "  .00000e+00");
    EXPECT_EQ(FormatSci(-12345.678, 12, 5), " -0.1234e+05");
    // Too many decimals for the width are reduced to width - 6.
    EXPECT_EQ(FormatSci(12345.678, 10, 9), "0.1235e+05");
}

TEST(FormatSci, NarrowWidthsAndOddValuesEndWithoutCrashing) {
    // Widths below the scientific minimum stop the fallback instead of recursing.
    for (int width = -3; width < 10; ++width) {
        for (double v : {12345678.9, -98765432.1, 0.0, 1e300, -1e-300}) {
            EXPECT_FALSE(FormatFixed(v, width, 2).empty()) << v << " " << width;
            EXPECT_FALSE(FormatSci(v, width, 2).empty()) << v << " " << width;
        }
    }
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::quiet_NaN(), 14, 5), "           NaN");
    EXPECT_EQ(FormatSci(std::numeric_limits<double>::infinity(), 8, 2), "     Inf");
}

TEST(PadInt, PadsButNeverCuts) {
    EXPECT_EQ(PadInt(7, 2, "0"), "07");
    EXPECT_EQ(PadInt(123, 2, "0"), "123");
    EXPECT_EQ(PadInt(-5, 4, " "), "  -5");
}

TEST(NumText, ShortestTextOfFifteenSignificantDigits) {
    EXPECT_EQ(NumText(0.5), ".5");
    EXPECT_EQ(NumText(2.50), "2.5");
    EXPECT_EQ(NumText(3.0), "3");
    EXPECT_EQ(NumText(0.0), "0");
    EXPECT_EQ(NumText(0.1 + 0.2), ".3");
    EXPECT_EQ(NumText(6.06e-5), ".0000606");
    EXPECT_EQ(NumText(2454123.456789), "2454123.456789");
    EXPECT_EQ(NumText(1234567.12345678901), "1234567.12345679");
    EXPECT_EQ(NumText(-12.75), "-12.75");
    EXPECT_EQ(NumText(42), "42");
}

TEST(NumText, PlainNotationCoversTheWholeBandOfOrdinaryValues) {
    EXPECT_EQ(NumText(1e-15), ".000000000000001");
    EXPECT_EQ(NumText(0.0001), ".0001");
    EXPECT_EQ(NumText(1e14), "100000000000000");
    EXPECT_EQ(NumText(999999999999999.0), "999999999999999");
    // Outside the band: exponent form.
    EXPECT_EQ(NumText(1e15), "1E+15");
    EXPECT_EQ(NumText(1.5e-20), "1.5E-20");
}

TEST(TrimLeft, RemovesOnlyLeadingBlanks) {
    EXPECT_EQ(TrimLeft(FormatFixed(0.51234 + 2454123, 14, 5)), "2454123.51234");
    EXPECT_EQ(TrimLeft("   "), "");
    EXPECT_EQ(TrimLeft("a b "), "a b ");
}

}  // namespace
}  // namespace umbrix
