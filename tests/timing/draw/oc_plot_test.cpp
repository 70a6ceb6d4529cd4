// The O-C diagram as a window shows it: marks a click is mapped with, zoom, and the hollow mark
// of a minimum left out by hand.

#include "timing/draw/oc_plot.h"

#include <gtest/gtest.h>

#include <algorithm>

// GCC 12 at -O3 (bug 105329) warns falsely on std::string built from literals and
// temporaries, as these tests build their expected lines and rows.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wrestrict"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace umbrix {
namespace {

// Minima at E = 0, 10, 20 with O-C 0, +1 and -1 minute, errors of a quarter minute.
std::vector<OcRow> ThreeRows(const char* flagOfSecond = "") {
    std::vector<OcRow> rows;
    const double oc[] = {0, 1, -1};
    for (int k = 0; k < 3; ++k)
        rows.push_back({{"n", "kvw", 0, 0.25 / 1440}, 10.0 * k, oc[k] / 1440, 0, 0, k == 1 ? flagOfSecond : ""});
    return rows;
}

int CirclesAt(const OcPlot& plot, const OcPlot::Mark& m, double radius, Rgb colour) {
    int n = 0;
    for (const DrawCommand& c : plot.list.Commands())
        n += c.kind == DrawKind::Circle && c.x1 == m.x && c.y1 == m.y && c.r == radius && c.colour == colour;
    return n;
}

// The marks stand where the dots are drawn, evenly in E and in O-C; a click picks the nearest
// within 150 twips and nothing further off.
TEST(OcRowAt, PicksTheNearestMarkWithinReachOnly) {
    const OcPlot plot = DrawOc(ThreeRows(), 0, 1, nullptr, nullptr, {12000, 7000, {}, std::nullopt});
    ASSERT_EQ(plot.marks.size(), 3u);
    for (const OcPlot::Mark& m : plot.marks) EXPECT_EQ(CirclesAt(plot, m, 45, kBlack), 1);
    EXPECT_NEAR(plot.marks[1].x - plot.marks[0].x, plot.marks[2].x - plot.marks[1].x, 1e-9);
    EXPECT_NEAR(plot.marks[0].y - plot.marks[1].y, plot.marks[2].y - plot.marks[0].y, 1e-9);  // y downward
    const OcPlot::Mark m = plot.marks[1];
    EXPECT_EQ(OcRowAt(plot, m.x + 100, m.y - 100), std::optional<std::size_t>(1));
    EXPECT_EQ(OcRowAt(plot, m.x + 110, m.y + 110), std::nullopt);  // 156 twips away
    EXPECT_EQ(OcRowAt(plot, (plot.marks[0].x + m.x) / 2, m.y), std::nullopt);
}

// The first half of E zoomed: the mark at E = 20 lies beyond the frame, is not picked there,
// and nothing of it is drawn; the frame keeps its place.
TEST(OcRowAt, ZoomedMarksOutsideTheFrameAreNeitherDrawnNorPicked) {
    const OcPlot whole = DrawOc(ThreeRows(), 0, 1, nullptr, nullptr, {12000, 7000, {}, std::nullopt});
    const OcPlot zoomed = DrawOc(ThreeRows(), 0, 1, nullptr, nullptr, {12000, 7000, {0, 0.5, 0, 1}, std::nullopt});
    EXPECT_EQ(zoomed.frame.PlotRight, whole.frame.PlotRight);
    EXPECT_TRUE(zoomed.marks[0].shown);
    EXPECT_FALSE(zoomed.marks[2].shown);
    EXPECT_GT(zoomed.marks[2].x, zoomed.frame.PlotRight);
    EXPECT_EQ(OcRowAt(zoomed, zoomed.marks[2].x, zoomed.marks[2].y, 1e6), std::optional<std::size_t>(1));
    for (const DrawCommand& c : zoomed.list.Commands()) {
        const double right = c.kind == DrawKind::Line ? std::max(c.x1, c.x2) : c.x1;
        if (c.kind == DrawKind::Line || c.kind == DrawKind::Circle) {
            EXPECT_LE(right, zoomed.frame.PlotRight);
        }
    }
    // The whole E axis runs from -1 to 21 (5 % padding); its first half ends at E = 10, which
    // therefore stands on the frame's right edge.
    EXPECT_NEAR(zoomed.marks[1].x, zoomed.frame.PlotRight, 1e-9);
}

// Left out by hand: silver, one ring instead of a dot, with its own legend line; a duplicate
// stays a silver dot.
TEST(DrawOcByHand, AMinimumLeftOutByHandIsAHollowSilverRing) {
    const OcPlot hand = DrawOc(ThreeRows(kFlagExcluded), 0, 1, nullptr, nullptr);
    EXPECT_EQ(CirclesAt(hand, hand.marks[1], 45, kSilver), 1);
    EXPECT_EQ(CirclesAt(hand, hand.marks[1], 30, kSilver), 0);
    bool legend = false;
    for (const PlotText& t : hand.texts) legend = legend || t.text == "left out by hand";
    EXPECT_TRUE(legend);
    const OcPlot duplicate = DrawOc(ThreeRows(kFlagDuplicate), 0, 1, nullptr, nullptr);
    EXPECT_EQ(CirclesAt(duplicate, duplicate.marks[1], 30, kSilver), 1);
}

}  // namespace
}  // namespace umbrix
