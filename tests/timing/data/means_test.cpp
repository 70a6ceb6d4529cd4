#include "timing/data/means.h"

#include <gtest/gtest.h>

#include "timing/data/format.h"

namespace umbrix {
namespace {

std::array<MeanRow, kMethodRows> NoRows() { return {}; }

TEST(CalcMeans, NothingTickedComputesNothing) {
    auto rows = NoRows();
    rows[2] = {false, "2454123.5", "0.001"};
    const MeansResult r = CalcMeans(rows);
    EXPECT_FALSE(r.computed);
    EXPECT_EQ(r.simple, "");
}

TEST(CalcMeans, OneRowGivesItsOwnTimeAndErrorAndNoDeviation) {
    auto rows = NoRows();
    rows[0] = {true, "2454123.51234", "0.00021"};
    const MeansResult r = CalcMeans(rows);
    ASSERT_TRUE(r.computed);
    EXPECT_EQ(r.simple, "2454123.51234");
    EXPECT_EQ(r.weighted, "2454123.51234");
    EXPECT_EQ(r.stdError, "0.00021");
    EXPECT_EQ(r.stdDev, "");
}

TEST(CalcMeans, RowsOneAndFourAreWeightedByInverseSquaredErrors) {
    auto rows = NoRows();
    rows[0] = {true, "2454123.51200", "0.001"};
    rows[3] = {true, "2454123.51300", "0.002"};
    rows[4] = {false, "2454999", "0.1"};  // not ticked: ignored
    const MeansResult r = CalcMeans(rows);
    ASSERT_TRUE(r.computed);
    EXPECT_EQ(r.simple, "2454123.51250");
    EXPECT_EQ(r.weighted, "2454123.51220");
    EXPECT_EQ(r.stdError, "0.00089");
    EXPECT_EQ(r.stdDev, "0.00071");
    EXPECT_TRUE(r.ticked[0]);
    EXPECT_TRUE(r.ticked[3]);
}

TEST(CalcMeans, RowWithErrorBelowOneMicrodayIsUntickedAndLeftOut) {
    auto rows = NoRows();
    rows[1] = {true, "2454123.6", "0"};
    rows[2] = {true, "2454123.51234", "0.00021"};
    rows[5] = {true, "2454123.7", "-0.0000009"};
    const MeansResult r = CalcMeans(rows);
    EXPECT_FALSE(r.ticked[1]);
    EXPECT_FALSE(r.ticked[5]);
    EXPECT_TRUE(r.ticked[2]);
    EXPECT_EQ(r.simple, "2454123.51234");
    EXPECT_EQ(r.stdDev, "");
}

TEST(CalcMeans, OnlyZeroErrorsTickedComputesNothingButUnticks) {
    auto rows = NoRows();
    rows[0] = {true, "2454123.6", ""};
    const MeansResult r = CalcMeans(rows);
    EXPECT_FALSE(r.computed);
    EXPECT_FALSE(r.ticked[0]);
}

TEST(CalcMeans, EqualTimesGiveADeviationOfZeroNotNaN) {
    auto rows = NoRows();
    for (int k = 0; k < kMethodRows; ++k) rows[k] = {true, "2454123.51237", "0.0003"};
    const MeansResult r = CalcMeans(rows);
    EXPECT_EQ(r.stdDev, "00.00000");  // zero, written the way FormatFixed writes it
    EXPECT_EQ(r.simple, "2454123.51237");
}

// An error of 1e200 squares to infinity: kept, it made the boxes show "NaN" and "Inf". Such
// a row (or one with an absurd time) is unticked and left out, and the message says which.
TEST(CalcMeans, RowTooLargeToSquareIsLeftOutWithAMessage) {
    auto alone = NoRows();
    alone[2] = {true, "2454123.6", "1e200"};
    const MeansResult none = CalcMeans(alone);
    EXPECT_FALSE(none.computed);
    EXPECT_FALSE(none.ticked[2]);
    EXPECT_EQ(none.message, "Row 3 was left out of the means: its time or error is too large to compute with.");

    auto rows = NoRows();
    rows[0] = {true, "1e300", "0.001"};
    rows[1] = {true, "2454123.51234", "0.00021"};
    rows[4] = {true, "2454123.6", "-2e160"};
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
