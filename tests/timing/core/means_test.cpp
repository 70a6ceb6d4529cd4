#include "timing/core/data/means.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "timing/core/data/format.h"

namespace umbrix {
namespace {

std::array<MeanRow, kMethodRows> NoRows() { return {}; }

MeanRow Row(bool ticked, std::string time, std::string error) {
    MeanRow row;
    row.ticked = ticked;
    row.time = std::move(time);
    row.error = std::move(error);
    return row;
}

TEST(CalcMeans, NothingTickedComputesNothing) {
    auto rows = NoRows();
    rows[2] = Row(false, "2454123.5", "0.001");
    const MeansResult r = CalcMeans(rows);
    EXPECT_FALSE(r.computed);
    EXPECT_EQ(r.simple, "");
}

TEST(CalcMeans, OneRowGivesItsOwnTimeAndErrorAndNoDeviation) {
    auto rows = NoRows();
    rows[0] = Row(true, "2454123.51234", "0.00021");
    const MeansResult r = CalcMeans(rows);
    ASSERT_TRUE(r.computed);
    EXPECT_EQ(r.simple, "2454123.51234");
    EXPECT_EQ(r.weighted, "2454123.51234");
    EXPECT_EQ(r.stdError, "0.00021");
    EXPECT_EQ(r.stdDev, "");
}

TEST(CalcMeans, RowsOneAndFourAreWeightedByInverseSquaredErrors) {
    auto rows = NoRows();
    rows[0] = Row(true, "2454123.51200", "0.001");
    rows[3] = Row(true, "2454123.51300", "0.002");
    rows[4] = Row(false, "2454999", "0.1");  // not ticked: ignored
    const MeansResult r = CalcMeans(rows);
    ASSERT_TRUE(r.computed);
    EXPECT_EQ(r.simple, "2454123.51250");
    EXPECT_EQ(r.weighted, "2454123.51220");
    EXPECT_EQ(r.stdError, "0.00089");
    EXPECT_EQ(r.stdDev, "0.00071");
    EXPECT_TRUE(r.ticked[0]);
    EXPECT_TRUE(r.ticked[3]);
}

// A missing or zero error gives no weight: the row is unticked and left out, silently. Any
// other error counts however small: an error of 3e-6 d once showed as "00" and then counted
// as missing, so that the best timing of a TESS night dropped out of both means.
TEST(CalcMeans, OnlyAMissingOrZeroErrorUnticksTheRow) {
    auto rows = NoRows();
    rows[1] = Row(true, "2454123.6", "0");
    rows[2] = Row(true, "2454123.51234", "0.00021");
    rows[4] = Row(true, "2454123.8", " ");
    rows[5] = Row(true, "2454123.51235", "0.0000009");
    const MeansResult r = CalcMeans(rows);
    EXPECT_FALSE(r.ticked[1]);
    EXPECT_FALSE(r.ticked[4]);
    EXPECT_TRUE(r.ticked[2]);
    EXPECT_TRUE(r.ticked[5]);
    EXPECT_EQ(r.message, "");
    // Weights 1/0.00021^2 and 1/0.0000009^2: 0.51234 w1 + 0.51235 w6 over w1 + w6 lies
    // 1.8e-10 d short of .51235; the standard error is 1/sqrt(w1 + w6) = 8.99982e-7 d.
    EXPECT_EQ(r.weighted, "2454123.51235");
    EXPECT_NEAR(r.stdErrorValue, 8.99982e-7, 1e-11);
    EXPECT_EQ(r.stdError, "0.000001");
}

// The window hands over the method's own numbers while its boxes show what it wrote: the
// means combine those, not the boxes' 5 decimals. From the texts the weighted mean would be
// .512341 +/- 0.0000095; from the numbers it is .5123445 +/- 0.0000123.
TEST(CalcMeans, ExactNumbersOfAnUntouchedRowWinOverItsText) {
    auto rows = NoRows();
    rows[0] = Row(true, "2454123.51234", "0.00001");
    rows[0].exactTime = 2454123.5123441;
    rows[0].exactError = 1.4e-5;
    rows[3] = Row(true, "2454123.51235", "0.00003");
    rows[3].exactTime = 2454123.5123459;
    rows[3].exactError = 2.6e-5;
    const MeansResult r = CalcMeans(rows);
    ASSERT_TRUE(r.computed);
    // w = 1/1.96e-10 + 1/6.76e-10; weighted = .5123441 + 0.0000018 * w4 / (w1 + w4).
    const double w1 = 1 / 1.96e-10, w4 = 1 / 6.76e-10;
    EXPECT_NEAR(r.weightedValue, 2454123.5123441 + 0.0000018 * w4 / (w1 + w4), 1e-9);
    EXPECT_NEAR(r.simpleValue, 2454123.512345, 1e-9);
    EXPECT_NEAR(r.stdErrorValue, 1 / std::sqrt(w1 + w4), 1e-12);
}

// "abc" in a time box once counted as 0 and gave a simple mean of 1636082. A ticked box that
// is not a number now refuses the means and names the row; nothing is unticked.
TEST(CalcMeans, TextThatIsNotANumberRefusesTheMeansNamingTheRow) {
    auto rows = NoRows();
    rows[0] = Row(true, "2454123.51234", "0.0002");
    rows[1] = Row(true, "abc", "0.0001");
    rows[2] = Row(true, "2454123.5124", "0.0002x");
    rows[3] = Row(true, "", "0.0003");
    const MeansResult r = CalcMeans(rows);
    EXPECT_FALSE(r.computed);
    EXPECT_TRUE(r.refused);
    EXPECT_TRUE(r.ticked[1]);
    EXPECT_EQ(r.simple, "");
    EXPECT_NE(r.message.find("Row 2 holds \"abc\" as its time of minimum, which is not a number"), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("Row 3 holds \"0.0002x\" as its error"), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("Row 4 is ticked but holds no time of minimum"), std::string::npos) << r.message;
    EXPECT_EQ(r.message.find("Row 1"), std::string::npos) << r.message;
}

// A night with two eclipses: rows 1 and 4 time one at .51234, row 3 the other at .66200.
// 0.14966 d apart with a combined error of 0.00036 is 416 errors: the means show, with a
// warning naming the rows; rows 1 and 4 (0.00006 apart, 0.2 errors) agree.
TEST(CalcMeans, TimesThatDisagreeByMoreThanFiveErrorsAreNamedInAWarning) {
    auto rows = NoRows();
    rows[0] = Row(true, "2454123.51234", "0.0002");
    rows[2] = Row(true, "2454123.66200", "0.0003");
    rows[3] = Row(true, "2454123.51240", "0.0002");
    const MeansResult r = CalcMeans(rows);
    ASSERT_TRUE(r.computed);
    EXPECT_EQ(r.simple, "2454123.56225");
    EXPECT_EQ(r.warning,
              "The ticked times of rows 1, 3 and 4 disagree by more than 5 times their combined "
              "errors (rows 1 and 3 lie 0.14966 d apart): they may time different eclipses, or a "
              "method may have failed. The means combine them all.");
    rows[2].ticked = false;
    EXPECT_EQ(CalcMeans(rows).warning, "");
    // A fold 0.0035 d off with the scroll step as its error, 0.0001, but a calibrated error
    // of 0.0036: the larger error explains the gap.
    rows[1] = Row(true, "2454123.50884", "0.0001");
    EXPECT_NE(CalcMeans(rows).warning, "");
    rows[1].calibrated = 0.0036;
    EXPECT_EQ(CalcMeans(rows).warning, "");
    rows[1].ticked = false;
    // 5.1 combined errors apart still warns; 4.9 does not.
    rows[3] = Row(true, std::to_string(2454123.51234 + 5.1 * std::hypot(0.0002, 0.0002)), "0.0002");
    EXPECT_NE(CalcMeans(rows).warning, "");
    rows[3] = Row(true, std::to_string(2454123.51234 + 4.9 * std::hypot(0.0002, 0.0002)), "0.0002");
    EXPECT_EQ(CalcMeans(rows).warning, "");
}

TEST(CalcMeans, OnlyZeroErrorsTickedComputesNothingButUnticks) {
    auto rows = NoRows();
    rows[0] = Row(true, "2454123.6", "");
    const MeansResult r = CalcMeans(rows);
    EXPECT_FALSE(r.computed);
    EXPECT_FALSE(r.ticked[0]);
}

TEST(CalcMeans, EqualTimesGiveADeviationOfZeroNotNaN) {
    auto rows = NoRows();
    for (int k = 0; k < kMethodRows; ++k) rows[k] = Row(true, "2454123.51237", "0.0003");
    const MeansResult r = CalcMeans(rows);
    EXPECT_EQ(r.stdDev, "00.00000");  // zero, written the way FormatFixed writes it
    EXPECT_EQ(r.simple, "2454123.51237");
}

// An error of 1e200 squares to infinity: kept, it made the boxes show "NaN" and "Inf". Such
// a row (or one with an absurd time) is unticked and left out, and the message says which.
TEST(CalcMeans, RowTooLargeToSquareIsLeftOutWithAMessage) {
    auto alone = NoRows();
    alone[2] = Row(true, "2454123.6", "1e200");
    const MeansResult none = CalcMeans(alone);
    EXPECT_FALSE(none.computed);
    EXPECT_FALSE(none.ticked[2]);
    EXPECT_EQ(none.message, "Row 3 was left out of the means: its time or error is too large to compute with.");

    auto rows = NoRows();
    rows[0] = Row(true, "1e300", "0.001");
    rows[1] = Row(true, "2454123.51234", "0.00021");
    rows[4] = Row(true, "2454123.6", "-2e160");
    const MeansResult r = CalcMeans(rows);
    ASSERT_TRUE(r.computed);
    EXPECT_FALSE(r.ticked[0]);
    EXPECT_TRUE(r.ticked[1]);
    EXPECT_FALSE(r.ticked[4]);
    // Only row 2 counts, and the first row kept sets the base: its own time comes back.
    EXPECT_EQ(r.simple, "2454123.51234");
    EXPECT_EQ(r.weighted, "2454123.51234");
    EXPECT_EQ(r.stdError, "0.00021");
    EXPECT_EQ(r.stdDev, "");
    EXPECT_NE(r.message.find("Row 1 was left out"), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("Row 5 was left out"), std::string::npos) << r.message;
}

TEST(LeadingNumber, TakesTheLongestNumericPrefix) {
    bool found = false;
    EXPECT_EQ(LeadingNumber("  2454123.51234 days", &found), 2454123.51234);
    EXPECT_TRUE(found);
    EXPECT_EQ(LeadingNumber("-.5x"), -0.5);
    EXPECT_EQ(LeadingNumber("+3"), 3.0);
    EXPECT_EQ(LeadingNumber("1.5e-3"), 0.0015);
    EXPECT_EQ(LeadingNumber("2e"), 2.0);
    EXPECT_EQ(LeadingNumber("2E+x"), 2.0);
    EXPECT_EQ(LeadingNumber("", &found), 0.0);
    EXPECT_FALSE(found);
    EXPECT_EQ(LeadingNumber("abc", &found), 0.0);
    EXPECT_FALSE(found);
    EXPECT_EQ(LeadingNumber("-", &found), 0.0);
    EXPECT_FALSE(found);
    EXPECT_EQ(LeadingNumber("1e999", &found), 0.0);
    EXPECT_FALSE(found);
}

}  // namespace
}  // namespace umbrix
