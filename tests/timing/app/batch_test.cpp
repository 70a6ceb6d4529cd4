#include "timing/app/batch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "timing/app/json.h"

namespace umbrix {
namespace {

const std::string kFixture = std::string(UMBRIX_TEST_DATA) + "/header_with_letters.csv";

struct BatchRun {
    int status;
    std::string out;
    std::string err;
};

BatchRun Batch(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = RunBatch(args, out, err);
    return {status, out.str(), err.str()};
}

TEST(BatchSummary, TextListsCountsOffsetAndExtremes) {
    const BatchRun r = Batch({"--batch", kFixture});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "file: header_with_letters.csv\n"
              "read: 5\n"
              "points: 5\n"
              "day_offset: 2454123\n"
              "guess_min_time: 0.5323\n"
              "time_min: " + JsonNumber(2454123.51234 - 2454123 - 0.002) + "\n"
              "time_max: " + JsonNumber(2454123.55234 - 2454123 + 0.002) + "\n"
              "mag_min: 12.345\n"
              "mag_max: 12.512\n"
              "mag_min_index: 1\n"
              "mag_max_index: 3\n");
}

TEST(BatchSummary, JsonAfterInvertingAndDeletingInFileOrder) {
    // Inverted, the brightest star point (12.345, point 1) is the deepest; delete it and point 5.
    const BatchRun r = Batch({"--batch", kFixture, "--inverted", "--delete", "1,5", "--format", "json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"file\": \"header_with_letters.csv\", \"read\": 5, \"points\": 3"
              ", \"day_offset\": 2454123, \"guess_min_time\": 0.5123"
              ", \"time_min\": " + JsonNumber(2454123.52234 - 2454123 - 0.002) +
              ", \"time_max\": " + JsonNumber(2454123.54234 - 2454123 + 0.002) +
              ", \"mag_min\": -12.512, \"mag_max\": -12.401"
              ", \"mag_min_index\": 2, \"mag_max_index\": 1}\n");
}

TEST(BatchFailures, RefusedFilePrintsTheReaderMessageAndExitsTwo) {
    const BatchRun r = Batch({"--batch", std::string(UMBRIX_TEST_DATA) + "/blank_line_in_middle.csv"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "\"blank_line_in_middle.csv\", line 3: the line is blank; blank lines are allowed "
              "only at the end.\n");
}

struct BadArgs {
    const char* name;
    std::vector<std::string> args;
    const char* complaint;
    friend void PrintTo(const BadArgs& c, std::ostream* os) { *os << c.name; }
};

class BatchBadOptions : public testing::TestWithParam<BadArgs> {};

TEST_P(BatchBadOptions, PrintComplaintAndUsageAndExitTwo) {
    const BatchRun r = Batch(GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(GetParam().complaint), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(kBatchUsage), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchBadOptions,
    testing::Values(
        BadArgs{"NoFile", {"--batch"}, "--batch needs a FILE"},
        BadArgs{"OptionInPlaceOfFile", {"--batch", "--inverted"}, "--batch needs a FILE"},
        BadArgs{"UnknownOption", {"--batch", kFixture, "--colour"}, "unknown option \"--colour\""},
        BadArgs{"FormatWithoutValue", {"--batch", kFixture, "--format"}, "--format needs a value"},
        BadArgs{"UnknownFormat", {"--batch", kFixture, "--format", "xml"}, "text or json"},
        BadArgs{"DeleteNotNumbers", {"--batch", kFixture, "--delete", "2,x"}, "point numbers"},
        BadArgs{"DeleteTrailingComma", {"--batch", kFixture, "--delete", "2,"}, "point numbers"}),
    [](const testing::TestParamInfo<BadArgs>& info) { return info.param.name; });

TEST(BatchFailures, DeletingAPointThatDoesNotExistExitsTwo) {
    for (const char* index : {"0", "6"}) {
        const BatchRun r = Batch({"--batch", kFixture, "--delete", index});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("the file has points 1 to 5"), std::string::npos) << r.err;
    }
}

TEST(Json, StringsAreEscapedAndNumbersRoundTrip) {
    EXPECT_EQ(JsonString("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
    EXPECT_EQ(JsonNumber(0.1), "0.1");
    EXPECT_EQ(JsonNumber(2454123.512345678), "2454123.512345678");
    EXPECT_EQ(std::stod(JsonNumber(1.0 / 3.0)), 1.0 / 3.0);
    EXPECT_EQ(JsonNumber(std::nan("")), "null");
}

}  // namespace
}  // namespace umbrix
