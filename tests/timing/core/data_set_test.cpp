#include "timing/core/data/data_set.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "timing/core/data/reader.h"

namespace umbrix {
namespace {

// A small eclipse: the faintest point (12.9) is point 3.
std::unique_ptr<DataSet> Loaded(const std::vector<double>& hjd, const std::vector<double>& mag) {
    auto ds = std::make_unique<DataSet>();
    ApplyLightCurve(*ds, hjd, mag);
    return ds;
}

std::unique_ptr<DataSet> SmallEclipse() {
    return Loaded({2454123.40, 2454123.41, 2454123.42, 2454123.43, 2454123.44},
                  {12.1, 12.5, 12.9, 12.6, 12.2});
}

TEST(RoundTo, RoundsHalfAwayFromZero) {
    EXPECT_DOUBLE_EQ(RoundTo(-1.23456, 3), -1.235);
    EXPECT_DOUBLE_EQ(RoundTo(0.45678, 2), 0.46);
    EXPECT_DOUBLE_EQ(RoundTo(2.5, 0), 3.0);
    EXPECT_DOUBLE_EQ(RoundTo(-2.5, 0), -3.0);
    EXPECT_EQ(RoundTo(0.0, 4), 0.0);
}

TEST(FindExtremes, EmptyWorkingSetLeavesStartValuesAndKeepsIndices) {
    auto ds = SmallEclipse();
    ASSERT_EQ(ds->MagMaxIndex, 3);
    ASSERT_EQ(ds->MagMinIndex, 1);
    for (int i = 1; i <= 4; ++i) ASSERT_TRUE(SetDeleted(*ds, i, true));
    // One point left (12.2, now working index 1): it is both extremes.
    ASSERT_EQ(ds->MagMaxIndex, 1);
    ASSERT_EQ(ds->MagMinIndex, 1);
    ASSERT_TRUE(SetDeleted(*ds, 5, true));
    EXPECT_EQ(ds->PointCount, 0);
    EXPECT_DOUBLE_EQ(ds->TimeMin, 99999998.998);
    EXPECT_DOUBLE_EQ(ds->TimeMax, -99999998.998);
    EXPECT_EQ(ds->MagMin, 99);
    EXPECT_EQ(ds->MagMax, -99);
    EXPECT_EQ(ds->MagMaxIndex, 1);
    EXPECT_EQ(ds->MagMinIndex, 1);
}

TEST(FindExtremes, FirstOfEqualMagnitudesWinsAndTimesCarryMargins) {
    auto ds = Loaded({2454123.40, 2454123.41, 2454123.42, 2454123.43},
                     {12.0, 12.8, 12.8, 12.0});
    EXPECT_EQ(ds->MagMaxIndex, 2);
    EXPECT_EQ(ds->MagMinIndex, 1);
    EXPECT_NEAR(ds->TimeMin, 0.40 - 0.002, 1e-9);
    EXPECT_NEAR(ds->TimeMax, 0.43 + 0.002, 1e-9);
    EXPECT_NEAR(ds->TimeSpan, 0.034, 1e-9);
    EXPECT_EQ(ds->MagSpan, 12.8 - 12.0);
}

TEST(DataSetEditing, DeleteRestoresWorkingSetInFileOrderButKeepsFrozenScale) {
    auto ds = SmallEclipse();
    const DataSet before = *ds;
    ASSERT_TRUE(SetDeleted(*ds, 3, true));
    EXPECT_EQ(ds->PointCount, 4);
    EXPECT_EQ(ds->ReadCount, 5);
    const std::vector<double> expected = {12.1, 12.5, 12.6, 12.2};
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(ds->Mag[i], expected[i - 1]) << i;
    EXPECT_EQ(ds->MagMax, 12.6);
    EXPECT_EQ(ds->MagMaxIndex, 3);
    // The plot scale and the tracing-paper start stay where the load put them.
    EXPECT_EQ(ds->FullMagMax, 12.9);
    EXPECT_EQ(ds->FullMagMaxIndex, 3);
    EXPECT_EQ(ds->FullTimeMin, before.FullTimeMin);
    EXPECT_EQ(ds->GuessMinTime, before.GuessMinTime);

    ASSERT_TRUE(SetDeleted(*ds, 3, false));
    EXPECT_EQ(ds->PointCount, 5);
    EXPECT_EQ(ds->Mag[3], 12.9);
    EXPECT_EQ(ds->MagMax, 12.9);
}

TEST(DataSetEditing, RefusesIndicesOutsideThePointsRead) {
    auto ds = SmallEclipse();
    EXPECT_FALSE(SetDeleted(*ds, 0, true));
    EXPECT_FALSE(SetDeleted(*ds, 6, true));
    EXPECT_FALSE(SetDeleted(*ds, -1, true));
    EXPECT_EQ(ds->PointCount, 5);
}

TEST(SetMagSign, InvertingNegatesMagnitudesAndMovesTheDeepestPoint) {
    auto ds = SmallEclipse();
    SetMagSign(*ds, 1);
    EXPECT_EQ(ds->MagSign, -1);
    EXPECT_EQ(ds->AllMag[3], -12.9);
    EXPECT_EQ(ds->RawMag[3], 12.9);
    // The faintest signed value is now the brightest star point, point 1.
    EXPECT_EQ(ds->MagMaxIndex, 1);
    EXPECT_EQ(ds->FullMagMaxIndex, 1);
    EXPECT_DOUBLE_EQ(ds->GuessMinTime, 0.4);
}

TEST(SetMagSign, SwitchingBackRestoresEverythingAndKeepsDeletions) {
    auto ds = SmallEclipse();
    ASSERT_TRUE(SetDeleted(*ds, 5, true));
    SetMagSign(*ds, 0);  // re-freezes the scale of the four remaining points
    const DataSet before = *ds;
    SetMagSign(*ds, 1);
    EXPECT_TRUE(ds->Deleted[5]);
    EXPECT_EQ(ds->PointCount, 4);
    SetMagSign(*ds, 0);
    EXPECT_TRUE(ds->Deleted[5]);
    EXPECT_EQ(ds->PointCount, before.PointCount);
    EXPECT_EQ(ds->AllMag, before.AllMag);
    EXPECT_EQ(ds->Mag, before.Mag);
    EXPECT_EQ(ds->MagMin, before.MagMin);
    EXPECT_EQ(ds->MagMax, before.MagMax);
    EXPECT_EQ(ds->MagMinIndex, before.MagMinIndex);
    EXPECT_EQ(ds->MagMaxIndex, before.MagMaxIndex);
    EXPECT_EQ(ds->TimeMin, before.TimeMin);
    EXPECT_EQ(ds->TimeMax, before.TimeMax);
    EXPECT_EQ(ds->FullMagSpan, before.FullMagSpan);
    EXPECT_EQ(ds->GuessMinTime, before.GuessMinTime);
}

TEST(JoinPath, JoinsWithOneSeparator) {
    EXPECT_EQ(JoinPath("/data", "a.csv"), "/data/a.csv");
    EXPECT_EQ(JoinPath("/", "a.csv"), "/a.csv");
    EXPECT_EQ(JoinPath("", "a.csv"), "a.csv");
}

}  // namespace
}  // namespace umbrix
