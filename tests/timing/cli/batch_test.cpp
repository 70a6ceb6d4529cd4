#include "timing/cli/batch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include <unistd.h>

#include "tests/timing/core/synthetic_eclipse.h"
#include "timing/core/data/json.h"
#include "timing/core/data/format.h"
#include "timing/core/methods/method_common.h"

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

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

TEST(BatchSummary, TextListsCountsOffsetAndExtremes) {
    const BatchRun r = Batch({"--batch", kFixture});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_PRED2(StartsWith, r.out,
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
    EXPECT_PRED2(StartsWith, r.out,
              "{\"file\": \"header_with_letters.csv\", \"read\": 5, \"points\": 3"
              ", \"day_offset\": 2454123, \"guess_min_time\": 0.5123"
              ", \"time_min\": " + JsonNumber(2454123.52234 - 2454123 - 0.002) +
              ", \"time_max\": " + JsonNumber(2454123.54234 - 2454123 + 0.002) +
              ", \"mag_min\": -12.512, \"mag_max\": -12.401"
              ", \"mag_min_index\": 2, \"mag_max_index\": 1, \"warning\": null, \"methods\": [");
}

TEST(BatchFailures, RefusedFilePrintsTheReaderMessageAndExitsOne) {
    const BatchRun r = Batch({"--batch", std::string(UMBRIX_TEST_DATA) + "/blank_line_in_middle.csv"});
    EXPECT_EQ(r.status, 1);
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

// ---- The methods in batch mode ------------------------------------------------------------

using testing_support::EclipseShape;

// A synthetic eclipse written as a light-curve file: 200 points every 0.001 day, minimum at
// kDay + 0.50123. Returns its path; the file lives in the temporary folder, named after this
// process so that parallel test runs never share one.
std::string CurveFile(const std::string& name, const EclipseShape& e) {
    const DataSet ds = testing_support::Eclipse(e);
    const auto path = std::filesystem::temp_directory_path() / ("umbrix_batch_" + std::to_string(::getpid()) + "_" + name + ".csv");
    std::ofstream out(path);
    char line[64];
    for (int i = 1; i <= ds.PointCount; ++i) {
        std::snprintf(line, sizeof line, "%.8f,%.6f\n", testing_support::kDay + ds.Time[i], ds.Mag[i]);
        out << line;
    }
    return path.string();
}

std::string EclipseFile(const std::string& name, double noise = 0) {
    EclipseShape e;
    e.noise = noise;
    return CurveFile(name, e);
}

constexpr double kTrueMinimum = testing_support::kDay + 0.50123;

struct JsonRow {
    int row = 0;
    std::string method, time, error, refused;
    std::string calibrated, warning;  // unquoted; empty for null
    double timeValue = 0, errorValue = 0;
    mutable std::map<std::string, std::string> details;
};

// The rows of the JSON output, read with patterns that follow its fixed layout.
std::vector<JsonRow> Rows(const std::string& json) {
    static const std::regex row(
        R"re(\{"row": (\d), "method": "(\w+)", (?:"time": "([^"]*)", "error": "([^"]*)", "time_value": ([^,]+), "error_value": ([^,]+), "error_calibrated": (?:null|"([^"]*)"), "error_calibrated_value": [^,]+, "warning": (?:null|"([^"]*)"), "details": \{([^}]*)\}|"refused": "([^"]*)")\})re");
    static const std::regex member(R"re("(\w+)": (\[[^\]]*\]|[^,]+))re");
    std::vector<JsonRow> rows;
    for (auto it = std::sregex_iterator(json.begin(), json.end(), row); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        JsonRow r;
        r.row = std::stoi(m[1]);
        r.method = m[2];
        if (m[3].matched) {
            r.time = m[3];
            r.error = m[4];
            r.timeValue = std::stod(m[5]);
            r.errorValue = std::stod(m[6]);
            r.calibrated = m[7];
            r.warning = m[8];
            const std::string d = m[9];
            for (auto jt = std::sregex_iterator(d.begin(), d.end(), member); jt != std::sregex_iterator(); ++jt)
                r.details[(*jt)[1]] = (*jt)[2];
        } else {
            r.refused = m[10];
        }
        rows.push_back(r);
    }
    return rows;
}

std::string Means(const std::string& json) {
    const auto at = json.find("\"means\": ");
    return at == std::string::npos ? "" : json.substr(at);
}

// Every method on a clean and on a noisy eclipse. The tolerance is the loosest the method
// tests justify (the tracing fold opens at the faintest point, up to 0.006 day from the
// minimum with 0.005 mag of noise); here the point is that each row carries its own method's
// answer in the file's time scale, in row order, with displayed texts matching the values.
TEST(BatchMethods, EveryRowFindsTheMinimumInTheFileTimeScale) {
    for (const double noise : {0.0, 0.005}) {
        const BatchRun r = Batch({"--batch", EclipseFile("all", noise), "--format", "json"});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<JsonRow> rows = Rows(r.out);
        ASSERT_EQ(rows.size(), 6u) << r.out;
        const char* names[] = {"parabola", "tracing", "chords", "kvw", "fourier", "sliding"};
        for (int k = 0; k < 6; ++k) {
            const JsonRow& row = rows[k];
            EXPECT_EQ(row.row, k + 1);
            EXPECT_EQ(row.method, names[k]);
            ASSERT_EQ(row.refused, "") << row.method;
            // The parabola over the whole default range fits a Gaussian badly: its vertex is
            // still within a few thousandths of a day of the axis of the symmetric dip.
            EXPECT_NEAR(row.timeValue, kTrueMinimum, 0.006) << row.method << " noise " << noise;
            EXPECT_NEAR(std::stod(row.time), row.timeValue, 0.5e-5 + 1e-9) << row.method;
            EXPECT_GE(row.errorValue, 0) << row.method;
        }
    }
}

TEST(BatchMethods, TextRowsShowTheSameTextsAsJsonAndTheMeansOfThem) {
    const std::string file = EclipseFile("text", 0.005);
    const BatchRun text = Batch({"--batch", file, "--range", "2454123.47:2454123.53"});
    const BatchRun json = Batch({"--batch", file, "--range", "2454123.47:2454123.53", "--format", "json"});
    ASSERT_EQ(text.status, 0) << text.err;
    const std::vector<JsonRow> rows = Rows(json.out);
    const char* labels[] = {"1. Parabolic Fit", "2. Tracing Paper", "3. Bisectors of Chords",
                            "4. Kwee and van Woerden", "5. Fourier Fit", "6. Sliding Integrations"};
    ASSERT_EQ(rows.size(), 6u);
    double sum = 0;
    int counted = 0;
    for (int k = 0; k < 6; ++k) {
        const std::string line = std::string(labels[k]) + ": " + rows[k].time + " +/- " + rows[k].error +
                                 (rows[k].calibrated.empty() ? "" : " (calibrated " + rows[k].calibrated + ")") +
                                 (rows[k].warning.empty() ? "" : "  warning: " + rows[k].warning) + "\n";
        EXPECT_NE(text.out.find(line), std::string::npos) << line << text.out;
        if (std::fabs(LeadingNumber(rows[k].error)) >= 1e-6) {  // rows the means keep
            sum += std::stod(rows[k].time);
            ++counted;
        }
    }
    ASSERT_GT(counted, 1);
    const std::string means = Means(json.out);
    const std::regex simple(R"re("simple": "([0-9.]+)")re");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(means, m, simple)) << means;
    EXPECT_NEAR(std::stod(m[1]), sum / counted, 0.5e-5 + 1e-9);
    EXPECT_NE(text.out.find("simple_mean: " + std::string(m[1]) + "\n"), std::string::npos);
}

TEST(BatchMethods, CalibratedErrorAndWarningJoinTheRowInTextAndJson) {
    DataSet ds;
    ds.DayOffset = 2454123;
    RowResult plain;
    plain.done(ds, 0.5, 0.00019);
    RowResult full = plain;
    full.calibrate(0.00004);
    full.warning = "The vertex lies outside the picked points.";

    EXPECT_EQ(BatchRowText("1. Parabolic Fit", plain), "1. Parabolic Fit: 2454123.50000 +/- 0.00019");
    EXPECT_EQ(BatchRowText("1. Parabolic Fit", full),
              "1. Parabolic Fit: 2454123.50000 +/- 0.00019 (calibrated 0.00004)"
              "  warning: The vertex lies outside the picked points.");
    const std::string head =
        "{\"row\": 1, \"method\": \"parabola\", \"time\": \"2454123.50000\", \"error\": \"0.00019\", "
        "\"time_value\": 2454123.5, \"error_value\": 0.00019, ";
    EXPECT_EQ(BatchRowJson(1, "parabola", plain, "\"rms\": 0.01"),
              head + "\"error_calibrated\": null, \"error_calibrated_value\": null, \"warning\": null, "
                     "\"details\": {\"rms\": 0.01}}");
    EXPECT_EQ(BatchRowJson(1, "parabola", full, "\"rms\": 0.01"),
              head + "\"error_calibrated\": \"0.00004\", \"error_calibrated_value\": 4e-05, "
                     "\"warning\": \"The vertex lies outside the picked points.\", "
                     "\"details\": {\"rms\": 0.01}}");
}

TEST(BatchMethods, MethodListRunsOnlyThoseInRowOrder) {
    const BatchRun r = Batch({"--batch", EclipseFile("list"), "--method", "sliding,parabola,sliding",
                              "--format", "json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<JsonRow> rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].method, "parabola");
    EXPECT_EQ(rows[1].method, "sliding");
}

TEST(BatchMethods, RangePicksThePointsStrictlyBetweenTheTwoTimes) {
    // Points lie at kDay + 0.400, 0.401, ...: 0.4505 excludes point 51 (0.450), so the range
    // starts at point 52 (0.451); 0.5510 is exactly on point 152 and leaves it out.
    const BatchRun r = Batch({"--batch", EclipseFile("range"), "--method", "parabola,kvw",
                              "--range", "2454123.4505:2454123.5510", "--format", "json"});
    const std::vector<JsonRow> rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].details["start"], "52");
    EXPECT_EQ(rows[0].details["end"], "151");
    EXPECT_EQ(rows[1].details["n"], "100");
}

TEST(BatchMethods, ChordsDefaultToBothSidesOfTheDeepestPointOrTakeFourTimes) {
    const std::string file = EclipseFile("chords");
    const std::vector<JsonRow> byDefault =
        Rows(Batch({"--batch", file, "--method", "chords", "--format", "json"}).out);
    ASSERT_EQ(byDefault.size(), 1u);
    // The deepest sample is point 102 (0.501, nearest the minimum at 0.50123).
    EXPECT_EQ(byDefault[0].details["left_start"], "1");
    EXPECT_EQ(byDefault[0].details["left_end"], "101");
    EXPECT_EQ(byDefault[0].details["right_start"], "103");
    EXPECT_EQ(byDefault[0].details["right_end"], "200");
    // A right range given end first is put in order, as the window swaps a reversed pick:
    // from the last point before 0.5205 (121) to the first after 0.5405 (142).
    const std::vector<JsonRow> given = Rows(Batch({"--batch", file, "--method", "chords", "--chords",
                                                   "2454123.4605:2454123.4805:2454123.5405:2454123.5205",
                                                   "--format", "json"}).out);
    ASSERT_EQ(given.size(), 1u);
    EXPECT_EQ(given[0].details["left_start"], "62");
    EXPECT_EQ(given[0].details["left_end"], "81");
    EXPECT_EQ(given[0].details["right_start"], "121");
    EXPECT_EQ(given[0].details["right_end"], "142");
    EXPECT_NEAR(given[0].timeValue, kTrueMinimum, 1e-5);
}

TEST(BatchMethods, FoldAndKweeSettingsAreTakenAsTyped) {
    const BatchRun r = Batch({"--batch", EclipseFile("settings"), "--method", "tracing,kvw",
                              "--fold", "2454123.49876", "--stepp", "2.5", "--frac", " .5x",
                              "--format", "json"});
    const std::vector<JsonRow> rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].time, "2454123.49876");
    EXPECT_EQ(rows[0].error, "0.0001");
    EXPECT_NEAR(std::stod(rows[0].details["fold"]), 0.49876, 1e-9);
    EXPECT_EQ(rows[1].details["stepp"], "2");  // 2.5 rounds half to even
    EXPECT_EQ(rows[1].details["frac"], "0.5");
}

TEST(BatchMethods, FourierStartValuesAreUsed) {
    const std::string file = EclipseFile("fourier");
    // Start values far from the dip (Xo a tenth of a day off, no amplitude) end in a refusal
    // or a different fit from the default start; the default start finds the minimum.
    const std::vector<JsonRow> good = Rows(Batch({"--batch", file, "--method", "fourier", "--format", "json"}).out);
    const std::vector<JsonRow> moved = Rows(Batch({"--batch", file, "--method", "fourier", "--fourier-start",
                                                   "2454123.501,12.6,30,0.28,0.11,0.06,0.006,0.0035",
                                                   "--format", "json"}).out);
    ASSERT_EQ(good.size(), 1u);
    ASSERT_EQ(moved.size(), 1u);
    ASSERT_EQ(moved[0].refused, "");
    EXPECT_NEAR(moved[0].timeValue, kTrueMinimum, 1e-4);
    EXPECT_NE(moved[0].details["iterations"], good[0].details["iterations"]);
}

// --ranges auto: every row times the clean and the noisy eclipse from its own chosen range
// (the tracing fold included, so all six land within 0.0005 day, about three times the noisy
// methods' errors), each range follows its method's line as two times (chords: four), and the
// same times stand in the JSON details.
TEST(BatchAutoRanges, EveryMethodTimesFromItsChosenRange) {
    const std::string file = EclipseFile("auto", 0.005);
    const BatchRun json = Batch({"--batch", file, "--format", "json", "--ranges", "auto"});
    ASSERT_EQ(json.status, 0) << json.err;
    const std::vector<JsonRow> rows = Rows(json.out);
    ASSERT_EQ(rows.size(), 6u);
    for (const JsonRow& row : rows) {
        ASSERT_EQ(row.refused, "") << row.method;
        EXPECT_NEAR(row.timeValue, kTrueMinimum, 5e-4) << row.method;
    }
    EXPECT_EQ(rows[0].details.count("range_first_time"), 1u);
    EXPECT_EQ(rows[2].details.count("range_right_last_time"), 1u);
    EXPECT_EQ(rows[3].details.count("range_last_time"), 1u);
    const double kvwFirst = std::stod(rows[3].details["range_first_time"]);
    const double kvwLast = std::stod(rows[3].details["range_last_time"]);
    EXPECT_LT(kvwFirst, kTrueMinimum - 0.04);  // the Gaussian's contacts: well outside 0.04 day
    EXPECT_GT(kvwLast, kTrueMinimum + 0.04);

    const BatchRun text = Batch({"--batch", file, "--ranges", "auto", "--method", "kvw,chords"});
    ASSERT_EQ(text.status, 0) << text.err;
    const std::regex two(R"(4\. Kwee and van Woerden: [^\n]+\n  range: (\S+) (\S+)\n)");
    const std::regex four(R"(3\. Bisectors of Chords: [^\n]+\n  range: \S+ \S+ \S+ \S+\n)");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(text.out, m, two)) << text.out;
    EXPECT_NEAR(std::stod(m[1]), kvwFirst, 0.5e-5);
    EXPECT_NEAR(std::stod(m[2]), kvwLast, 0.5e-5);
    EXPECT_TRUE(std::regex_search(text.out, four)) << text.out;
}

TEST(BatchAutoRanges, ExplicitRangesWinAndAllIsTheDefault) {
    const std::string file = EclipseFile("explicit", 0.005);
    const BatchRun r = Batch({"--batch", file, "--format", "json", "--ranges", "auto",
                              "--method", "parabola", "--range", "2454123.47:2454123.53"});
    const std::vector<JsonRow> rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 1u) << r.out;
    // Points 0.471 .. 0.529 of the file (0.400 is point 1), not the chosen range.
    EXPECT_EQ(rows[0].details["start"], "72");
    EXPECT_EQ(rows[0].details["end"], "130");
    EXPECT_EQ(rows[0].details.count("range_first_time"), 0u);

    for (const std::string& f : {file, kFixture}) {
        const BatchRun plain = Batch({"--batch", f, "--format", "json"});
        const BatchRun all = Batch({"--batch", f, "--format", "json", "--ranges", "all"});
        EXPECT_EQ(all.out, plain.out) << f;
    }
}

// A night that ends before the minimum: every method is refused, each saying why.
TEST(BatchAutoRanges, ANightWithOneBranchIsRefusedByEveryMethod) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("umbrix_batch_" + std::to_string(::getpid()) + "_branch.csv");
    {
        std::ofstream out(path);
        for (int i = 0; i < 90; ++i)
            out << std::to_string(testing_support::kDay + 0.40 + 0.001 * i) << ","
                << testing_support::GaussianDip(0.40 + 0.001 * i - 0.50123) << "\n";
    }
    const BatchRun r = Batch({"--batch", path.string(), "--format", "json", "--ranges", "auto"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<JsonRow> rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 6u);
    for (const JsonRow& row : rows)
        EXPECT_NE(row.refused.find("only one branch"), std::string::npos) << row.method;
}

// Two whole minima in one night (.50123, 0.6 mag; .70123, 0.5 mag). The chords' crossings and
// the symmetry pairs of Kwee and van Woerden once reached into the other eclipse (chords gave
// .55, between the two); every method that searches the curve now stays on the eclipse of
// the deepest point, and the means agree.
TEST(BatchSeveralMinima, DefaultRangesSearchOnlyTheEclipseOfTheDeepestPoint) {
    EclipseShape e;
    e.dip = testing_support::ThreeMinima;
    e.points = 400;
    e.noise = 0.003;
    const BatchRun r = Batch({"--batch", CurveFile("two_minima", e), "--format", "json",
                              "--method", "tracing,chords,kvw,sliding"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<JsonRow> rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 4u);
    for (const JsonRow& row : rows) {
        ASSERT_EQ(row.refused, "") << row.method;
        EXPECT_NEAR(row.timeValue, kTrueMinimum, 1e-3) << row.method;
    }
    // The chords' default ranges ran over the whole night and were cut at the maximum.
    EXPECT_NE(rows[1].warning.find("reached over a maximum of light"), std::string::npos) << rows[1].warning;
    EXPECT_NE(r.out.find("\"warning\": null}}"), std::string::npos) << r.out;  // the means agree
}

// With --ranges auto the deepest dip is cut off by the night's end: every method times the
// deepest whole one, the output names it and lists the others with the reason.
TEST(BatchSeveralMinima, AutoRangesTimeTheDeepestWholeEclipseAndNameTheOthers) {
    EclipseShape e;
    e.dip = testing_support::ThreeMinima;
    e.points = 600;
    e.noise = 0.003;
    const std::string file = CurveFile("three_minima", e);
    const BatchRun json = Batch({"--batch", file, "--format", "json", "--ranges", "auto"});
    const std::vector<JsonRow> rows = Rows(json.out);
    ASSERT_EQ(rows.size(), 6u);
    for (const JsonRow& row : rows) {
        ASSERT_EQ(row.refused, "") << row.method;
        EXPECT_NEAR(row.timeValue, kTrueMinimum, 6e-4) << row.method;
    }
    EXPECT_NE(json.out.find("\"timed\": true"), std::string::npos) << json.out;

    const BatchRun text = Batch({"--batch", file, "--ranges", "auto", "--method", "kvw"});
    const std::regex listing(
        "eclipses: 3\n"
        "eclipse 1: 2454123\\.50[01]\\d\\d, depth 0\\.5[89]\\d mag: timed by every method \\(the deepest with both branches\\)\n"
        "eclipse 2: 2454123\\.70[01]\\d\\d, depth 0\\.4[89]\\d mag: not timed: a deeper eclipse of the night is timed\n"
        "eclipse 3: [^\n]+: not timed: it has no rising branch: the light curve ends inside the eclipse\n");
    EXPECT_TRUE(std::regex_search(text.out, listing)) << text.out;
}

// A real night (NSVS 896797, JD 2458379, V) ends in ten copies of its last line. The summary
// warns once, naming the first; the methods whose points hold them refuse, naming them, and
// those whose range keeps clear of them time the eclipse.
TEST(BatchSummary, RepeatedLastLinesAreNamedOnceAndOnlyWhereUsed) {
    const std::string night = std::string(UMBRIX_TEST_DATA) + "/nsvs896797_V_ends_in_copies.csv";
    const BatchRun r = Batch({"--batch", night, "--method", "parabola,chords",
                              "--range", "2458379.75:2458379.81", "--chords",
                              "2458379.74:2458379.77:2458379.79:2458379.82"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("warning: Line 145 repeats the time of line 144 (10 lines in all repeat or go back in time)."),
              std::string::npos) << r.out;
    EXPECT_NE(r.out.find("1. Parabolic Fit: 2458379.78"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("3. Bisectors of Chords: 2458379.78"), std::string::npos) << r.out;
    const BatchRun all = Batch({"--batch", night, "--method", "kvw", "--format", "json"});
    EXPECT_NE(all.out.find("\"warning\": \"Line 145 repeats"), std::string::npos) << all.out;
    EXPECT_NE(all.out.find("\"refused\": \"Line 145 repeats the time of line 144, and this method would use both points"),
              std::string::npos) << all.out;
}

// ---- Many files in one run ------------------------------------------------------------

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Three nights and a refused file in the middle, run together (in parallel) and one by one:
// the same output in argument order, the refused file's message in its place, exit status 1,
// and a table with every row of every file.
TEST(BatchManyFiles, RunTogetherAsOneByOneInArgumentOrder) {
    const std::vector<std::string> files{EclipseFile("night1", 0.005), EclipseFile("night2", 0.01),
                                         std::string(UMBRIX_TEST_DATA) + "/one_column.csv",
                                         kFixture};
    const auto table = std::filesystem::temp_directory_path() /
                       ("umbrix_batch_" + std::to_string(::getpid()) + "_table.csv");
    std::vector<std::string> args{"--batch"};
    args.insert(args.end(), files.begin(), files.end());
    for (const char* a : {"--format", "json", "--table"}) args.push_back(a);
    args.push_back(table.string());
    const BatchRun together = Batch(args);
    EXPECT_EQ(together.status, 1);
    std::string out, err;
    for (const std::string& f : files) {
        const BatchRun one = Batch({"--batch", f, "--format", "json"});
        out += one.out;
        err += one.err;
    }
    EXPECT_EQ(together.out, out);
    EXPECT_EQ(together.err, err);
    EXPECT_NE(err.find("Comma Separated Variables"), std::string::npos) << err;

    // Header, six rows and the mean for each timed file, one line for the refused one.
    const std::string csv = ReadAll(table.string());
    std::istringstream lines(csv);
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);) rows.push_back(line);
    ASSERT_EQ(rows.size(), 1u + 7 + 7 + 1 + 7) << csv;
    EXPECT_EQ(rows[0], "file,row,method,hjd,error,calibrated_error,refused");
    EXPECT_EQ(rows[1].rfind(files[0] + ",1,parabola,2454123.50", 0), 0u) << rows[1];
    EXPECT_EQ(rows[7].rfind(files[0] + ",mean,weighted_mean,", 0), 0u) << rows[7];
    EXPECT_EQ(rows[15].rfind(files[2] + ",,,,,,", 0), 0u) << rows[15];
    // Times and errors to 7 decimals, not the window's 5 (0.86 s steps).
    EXPECT_EQ(rows[16].rfind(kFixture + ",1,parabola,2454123.5329682,0.0090396,0.0005394,", 0), 0u) << rows[16];
    std::filesystem::remove(table);
}

TEST(BatchMethods, RefusedRowsExitZeroAndLeaveTheMeansEmpty) {
    // The light curve ends at 0.599: a range after it finds no first point.
    const BatchRun r = Batch({"--batch", EclipseFile("refused"), "--method", "parabola,kvw,fourier",
                              "--range", "2454123.7:2454123.8", "--format", "json"});
    EXPECT_EQ(r.status, 0);
    const std::vector<JsonRow> rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 3u);
    for (const JsonRow& row : rows) EXPECT_EQ(row.refused, "No working point lies in the range.") << row.method;
    EXPECT_EQ(Means(r.out), "\"means\": {\"simple\": null, \"weighted\": null, \"std_error\": null, \"std_dev\": null, \"warning\": null}}\n");

    // Clicks between the first two points give an end before the start: the fit refuses.
    const BatchRun text = Batch({"--batch", EclipseFile("refused"), "--method", "parabola",
                                 "--range", "2454123.4001:2454123.4009"});
    EXPECT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("1. Parabolic Fit: refused: The end of the range lies before its start.\n"
                            "simple_mean: \nweighted_mean: \nstd_error: \nstd_dev: \n"),
              std::string::npos)
        << text.out;
}

struct BadMethodArgs {
    const char* name;
    std::vector<std::string> extra;
    const char* complaint;
    friend void PrintTo(const BadMethodArgs& c, std::ostream* os) { *os << c.name; }
};

class BatchBadMethodOptions : public testing::TestWithParam<BadMethodArgs> {};

TEST_P(BatchBadMethodOptions, PrintComplaintAndExitTwoBeforeAnyOutput) {
    std::vector<std::string> args{"--batch", kFixture};
    args.insert(args.end(), GetParam().extra.begin(), GetParam().extra.end());
    const BatchRun r = Batch(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(GetParam().complaint), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchBadMethodOptions,
    testing::Values(
        BadMethodArgs{"UnknownMethod", {"--method", "parabola,spline"}, "--method takes names"},
        BadMethodArgs{"EmptyMethodName", {"--method", "kvw,"}, "--method takes names"},
        BadMethodArgs{"RangeOfOneTime", {"--range", "2454123.4"}, "--range takes two times"},
        BadMethodArgs{"RangeNotANumber", {"--range", "a:b"}, "--range takes two times"},
        BadMethodArgs{"ChordsOfThreeTimes", {"--chords", "1:2:3"}, "--chords takes four times"},
        BadMethodArgs{"FoldNotANumber", {"--fold", "noon"}, "--fold takes a time"},
        BadMethodArgs{"FourierStartOfSeven", {"--fourier-start", "1,2,3,4,5,6,7"}, "eight values"},
        BadMethodArgs{"SteppWithoutValue", {"--stepp"}, "--stepp needs a value"}),
    [](const testing::TestParamInfo<BadMethodArgs>& info) { return info.param.name; });

TEST(Json, StringsAreEscapedAndNumbersRoundTrip) {
    EXPECT_EQ(JsonString("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
    EXPECT_EQ(JsonNumber(0.1), "0.1");
    EXPECT_EQ(JsonNumber(2454123.512345678), "2454123.512345678");
    EXPECT_EQ(std::stod(JsonNumber(1.0 / 3.0)), 1.0 / 3.0);
    EXPECT_EQ(JsonNumber(std::nan("")), "null");
}

}  // namespace
}  // namespace umbrix

namespace umbrix {
namespace {

// What a refusal or warning tells the user to do names the options of the command line, not
// the window's buttons and boxes.
TEST(BatchWording, RefusalsAndWarningsNameOptionsNotButtons) {
    const auto path = std::filesystem::temp_directory_path() / "umbrix_batch_wording.csv";
    // 999 points, one more than sliding integrations takes; with repeat, point 11 repeats the
    // time of point 10.
    const auto run = [&](bool repeat) {
        {
            std::ofstream out(path);
            out << "HJD,Mag\n";
            char line[64];
            for (int i = 0; i < 999; ++i) {
                const double t = 2454123.3 + 0.0004 * (repeat && i == 10 ? 9 : i);
                std::snprintf(line, sizeof line, "%.5f,%.4f\n", t,
                              12.0 + 0.5 * std::exp(-std::pow((i - 500) / 80.0, 2)));
                out << line;
            }
        }
        const BatchRun r = Batch({"--batch", path.string(), "--method", "sliding"});
        std::filesystem::remove(path);
        for (const char* window : {"press Go", "click 'Update'", "Plot/Edit Data", "into its box"})
            EXPECT_EQ(r.out.find(window), std::string::npos) << window << " in\n" << r.out;
        return r.out;
    };
    EXPECT_NE(run(false).find("takes at most 998 points: delete points far from the eclipse (--delete) "
                              "and run it again."),
              std::string::npos);
    const std::string repeated = run(true);
    EXPECT_NE(repeated.find("warning: Line 12 repeats the time of line 11. A method refuses to time a "
                            "range that holds such points: delete them (--delete), or correct the file."),
              std::string::npos) << repeated;
    EXPECT_NE(repeated.find("delete one of them (--delete), or leave them out"), std::string::npos) << repeated;
}

}  // namespace
}  // namespace umbrix
