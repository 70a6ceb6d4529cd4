#include "timing/core/session/row_table.h"

#include <gtest/gtest.h>

namespace umbrix {
namespace {

// A method's result as the windows and the command line hand it over: relative time, error
// and calibrated error, on a light curve whose day offset is 2454123.
RowResult Result(double relativeTime, double error, double calibrated = -1) {
    DataSet ds;
    ds.DayOffset = 2454123;
    RowResult r;
    r.done(ds, relativeTime, error);
    if (calibrated >= 0) r.calibrate(calibrated);
    return r;
}

// Row 1 as a method wrote it (boxes "2454123.51235", "0.00012", "0.00005"), row 4 written and
// then its time typed over. Worked by hand from w = 1/error^2 on the unrounded 0.512345678 d
// +/- 0.000123456 d and the typed 0.5126 d +/- 0.0002 d: weighted mean 2454123.5124158, its
// standard error 0.0001051. Reading row 1's box texts instead would give .5124162 +/-
// .0001029; ignoring the typed time, .5123883.
class RowTableTest : public testing::Test {
protected:
    void SetUp() override {
        rows_.write(1, Result(0.512345678, 0.000123456, 0.0000456));
        rows_.write(4, Result(0.5125, 0.0002));
        rows_.setTime(4, "2454123.51260");
    }
    RowTable rows_;
};

TEST_F(RowTableTest, MeansCombineTheMethodsNumbersAndWhatWasTyped) {
    EXPECT_EQ(rows_.row(1).time, "2454123.51235");
    EXPECT_EQ(rows_.row(1).calibrated, "0.00005");
    const MeansResult m = rows_.means();
    ASSERT_TRUE(m.computed);
    EXPECT_EQ(FileDecimals(m.weightedValue), "2454123.5124158");
    EXPECT_EQ(FileError(m.stdErrorValue), "0.0001051");
    EXPECT_EQ(m.simple, "2454123.51247");
}

TEST_F(RowTableTest, MinimaLogHoldsTickedRowsToSevenDecimalsThenTheWeightedMean) {
    rows_.write(3, Result(0.5124, 0.0003));
    rows_.setTicked(3, false);  // unticked: neither logged nor counted
    const MeansResult m = rows_.means();
    EXPECT_EQ(rows_.minimaLogLines("night, 1.csv", m),
              "\"night, 1.csv\",1,parabola,2454123.5123457,0.0001235,0.0000456,\n"
              "\"night, 1.csv\",4,kvw,2454123.5126000,0.0002000,,\n"
              "\"night, 1.csv\",mean,weighted_mean,2454123.5124158,0.0001051,,\n");
    EXPECT_EQ(rows_.loggedMethods(m), (std::vector<std::string>{"parabola", "kvw", "weighted_mean"}));
    // Undo empties and unticks: nothing left to log.
    rows_.clear(1);
    rows_.clear(4);
    EXPECT_EQ(rows_.minimaLogLines("n.csv", rows_.means()), "");
}

TEST_F(RowTableTest, EditedPointsMakeHeldRowsStaleUntilComputedAgain) {
    rows_.pointsEdited();
    rows_.write(1, Result(0.5123, 0.0001));
    EXPECT_FALSE(rows_.row(1).stale);
    EXPECT_FALSE(rows_.row(2).stale);  // empty: nothing to go stale
    EXPECT_EQ(rows_.staleTickedRows(),
              "Row 4 was computed before points were deleted or restored in Plot/Edit Data, and "
              "may not time the points as they are now.");
    EXPECT_TRUE(rows_.countsStaleRow(rows_.means()));
}

TEST_F(RowTableTest, CalcMeansUnticksARowWithoutError) {
    rows_.setError(4, "0");
    const MeansResult m = rows_.calcMeans();
    EXPECT_FALSE(rows_.row(4).ticked);
    EXPECT_TRUE(rows_.row(1).ticked);
    EXPECT_EQ(FileDecimals(m.weightedValue), "2454123.5123457");
}

}  // namespace
}  // namespace umbrix
