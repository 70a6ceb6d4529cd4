// oc_ephemerides.ini: the trial ephemeris kept for each minima table.

#include "timing/core/oc/remembered_ephemerides.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace umbrix {
namespace {

// The table's path comes last, so a comma in it is kept; a line whose T0 is no number or whose
// P is not above zero is dropped; a later line of the same table replaces the earlier one.
TEST(RememberedEphemerides, KeepsOneEntryPerTableAndDropsDamagedLines) {
    const std::string text =
        "2459000.3456,0.4567891,/data/star A, B/minima.csv\r\n"
        "24590x0.1,0.5,/data/bad_t0.csv\n"
        "2459000.1,-0.5,/data/negative.csv\n"
        "2459000.1,0,/data/zero.csv\n"
        "2459000.1,0.5\n"
        "\n"
        "2454123.4567,0.8123456,/data/other.csv\n"
        "2459000.3388156,0.456793783,/data/star A, B/minima.csv\n";
    const std::vector<RememberedEphemeris> list = ParseRememberedEphemerides(text);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], (RememberedEphemeris{"/data/star A, B/minima.csv", "2459000.3388156", "0.456793783"}));
    EXPECT_EQ(list[1], (RememberedEphemeris{"/data/other.csv", "2454123.4567", "0.8123456"}));
    EXPECT_EQ(RememberedEphemeridesText(list),
              "2459000.3388156,0.456793783,/data/star A, B/minima.csv\n2454123.4567,0.8123456,/data/other.csv\n");
    EXPECT_FALSE(FindRemembered(list, "/data/zero.csv"));
    EXPECT_EQ(FindRemembered(list, "/data/other.csv")->p, "0.8123456");
}

// Plain digits that read back as the same double: a fitted epoch keeps every bit.
TEST(RememberedEphemerides, ExactDecimalReadsBackAsTheSameNumberWithoutAnExponent) {
    EXPECT_EQ(ExactDecimal(2459000.25), "2459000.25");
    EXPECT_EQ(ExactDecimal(0.5), "0.5");
    EXPECT_EQ(ExactDecimal(1e-9), "0.000000001");
    for (const double v : {2459000.338815612, 0.45679378312345, 1.0 / 3}) {
        const std::string text = ExactDecimal(v);
        EXPECT_EQ(text.find('e'), std::string::npos) << text;
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), v) << text;
    }
}

}  // namespace
}  // namespace umbrix
