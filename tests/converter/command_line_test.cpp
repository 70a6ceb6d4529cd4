#include "converter/core/command_line.h"

#include <gtest/gtest.h>

#include <sstream>

#include "temp_dir.h"

namespace hjdprep {
namespace {

using Args = std::vector<std::string>;

struct BadCase {
    const char* name;
    Args args;
};

class BadCommandLineTest : public testing::TestWithParam<BadCase> {};

TEST_P(BadCommandLineTest, ExitsTwoWithUsageAndWritesNothing) {
    test::TempDir dir;
    dir.Put("obs.std", "CASRZ 20070105213045 10.52V ABC\n");
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine(GetParam().args, dir.path(), out, err), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("usage: hjdprep --convert LOG"), std::string::npos) << err.str();
    EXPECT_FALSE(dir.Exists("umbrix25.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Options, BadCommandLineTest,
    testing::Values(BadCase{"NoConvert", {"--jst"}}, BadCase{"ConvertWithoutLog", {"--convert"}},
                    BadCase{"UnknownOption", {"--convert", "obs.std", "--colour"}},
                    BadCase{"RaWithTwoParts", {"--convert", "obs.std", "--ra", "02:48"}},
                    BadCase{"RaWithLetters", {"--convert", "obs.std", "--ra", "02:4x:55"}},
                    BadCase{"RaMissingValue", {"--convert", "obs.std", "--ra"}},
                    BadCase{"DecWithSeconds", {"--convert", "obs.std", "--dec", "+69:38:00"}},
                    BadCase{"DecDoubleSign", {"--convert", "obs.std", "--dec", "+-69:38"}},
                    BadCase{"DecEmptyMinutes", {"--convert", "obs.std", "--dec", "-00:"}},
                    BadCase{"TwoLogs", {"--convert", "obs.std", "--convert", "other.std"}}),
    [](const testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

// Coordinates no star has stop the run before it starts: exit 2, the option named, and not
// one file written or replaced.
TEST(CommandLine, ImpossibleCoordinatesAreRefusedWithNothingWritten) {
    const Args cases[] = {{"--convert", "obs.std", "--ra", "99:99:99", "--dec", "+120:75"},
                          {"--convert", "obs.std", "--dec", "+45:75"},
                          {"--convert", "obs.std", "--ra", "24:00:01"}};
    const char* says[] = {"--ra: right ascension hours \"99\" is outside 0 to 24",
                          "--dec: declination minutes \"75\" is outside 0 to 59",
                          "--ra: right ascension hours \"24\" is outside 0 to 24 with the minutes"};
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        test::TempDir dir;
        dir.Put("obs.std", "CASRZ 20070105213045 10.52V ABC\n");
        std::ostringstream out, err;
        EXPECT_EQ(RunCommandLine(cases[k], dir.path(), out, err), 2);
        EXPECT_NE(err.str().find(says[k]), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "");
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
        EXPECT_EQ(files, 1u);
        EXPECT_EQ(dir.Read("obs.std"), "CASRZ 20070105213045 10.52V ABC\n");
    }
}

TEST(CommandLine, OptionsBecomeTheWindowsSettings) {
    std::string error;
    const auto s = ParseCommandLine({"--convert", "obs.std", "--jst", "--ra", "18:45:30.5", "--dec", "-00:30",
                                     "--auto-search"},
                                    error);
    ASSERT_TRUE(s.has_value()) << error;
    EXPECT_EQ(s->StdFileName, "obs.std");
    EXPECT_EQ(s->zone, TimeZone::JST);
    EXPECT_TRUE(s->autoSearch);
    EXPECT_EQ(s->coordinates.RaHour, "18");
    EXPECT_EQ(s->coordinates.RaMinute, "45");
    EXPECT_EQ(s->coordinates.RaSecond, "30.5");
    EXPECT_EQ(s->coordinates.DecDegree, "-00");
    EXPECT_EQ(s->coordinates.DecMinute, "30");
    EXPECT_DOUBLE_EQ(CoordinatesFromTexts(s->coordinates).DecMinute, -30);
}

TEST(CommandLine, ConvertsWithProgressEveryThousandRecordsAndEnd) {
    test::TempDir dir;
    std::string log;
    for (int i = 0; i < 2500; ++i) log += "CASRZ 20070105213045 10.52V ABC\n";
    log += "CASRZ 20070105213045 V ABC\n";  // no magnitude: to err.txt
    dir.Put("obs.std", log);
    dir.Put("hjdprep.ini", "untouched\n");
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine({"--convert", "obs.std"}, dir.path(), out, err), 0);
    EXPECT_EQ(out.str(), "END\n2500 records converted, 1 line written to err.txt\n");
    EXPECT_EQ(err.str(), "hjdprep: 1000 of 2501 records\nhjdprep: 2000 of 2501 records\n");
    EXPECT_EQ(dir.Lines("umbrix25.txt").size(), 2500u);
    EXPECT_EQ(dir.Read("hjdprep.ini"), "untouched\n");
}

TEST(CommandLine, ReadsAliasesAndCatalogueFromTheDirectory) {
    test::TempDir dir;
    dir.CopyIn(test::Fixture("star.dat"), "star.dat");
    dir.CopyIn(test::Fixture("Alias.txt"), "Alias.txt");
    dir.Put("obs.std", "RZCAS 20070105213045 10.52V ABC\n");
    std::ostringstream out, err;
    ASSERT_EQ(RunCommandLine({"--convert", "obs.std", "--auto-search"}, dir.path(), out, err), 0) << err.str();
    EXPECT_EQ(dir.Read("obs.std"), "CASRZ 20070105213045 10.52V ABC\n");
    EXPECT_EQ(dir.Lines("umbrix25.txt").size(), 1u);
}

struct MissingCase {
    const char* name;
    Args args;
    const char* says;
};

class MissingInputTest : public testing::TestWithParam<MissingCase> {};

TEST_P(MissingInputTest, ExitsTwoAndSaysWhat) {
    test::TempDir dir;
    dir.Put("obs.std", "CASRZ 20070105213045 10.52V ABC\n");
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine(GetParam().args, dir.path(), out, err), 2);
    EXPECT_NE(err.str().find(GetParam().says), std::string::npos) << err.str();
    EXPECT_EQ(dir.Read("obs.std"), "CASRZ 20070105213045 10.52V ABC\n");
    EXPECT_FALSE(dir.Exists("SDATA2.CSV"));
}

INSTANTIATE_TEST_SUITE_P(Inputs, MissingInputTest,
                         testing::Values(MissingCase{"Log", {"--convert", "absent.std"}, "absent.std"},
                                         MissingCase{"Catalogue", {"--convert", "obs.std", "--auto-search"}, "star.dat"}),
                         [](const testing::TestParamInfo<MissingCase>& info) { return std::string(info.param.name); });

TEST(CommandLine, OnlyOwnOptionsLeaveTheWindowOut) {
    using Args = std::vector<std::string>;
    EXPECT_FALSE(IsCommandLineRequest(Args{}));
    EXPECT_FALSE(IsCommandLineRequest(Args{"-platform", "offscreen"}));
    EXPECT_FALSE(IsCommandLineRequest(Args{"-style=fusion", "obs.std"}));
    EXPECT_TRUE(IsCommandLineRequest(Args{"--convert", "obs.std"}));
    EXPECT_TRUE(IsCommandLineRequest(Args{"-platform", "offscreen", "--jst"}));
    EXPECT_FALSE(IsCommandLineRequest(Args{"--style=fusion"}));
    EXPECT_TRUE(IsCommandLineRequest(Args{"--help"}));
    EXPECT_TRUE(IsCommandLineRequest(Args{"--colour"}));
}

}  // namespace
}  // namespace hjdprep
