#include "timing/core/files/settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace umbrix {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public testing::Test {
protected:
    void SetUp() override {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : name)
            if (c == '/') c = '_';  // parameterised tests are named "Test/Case"
        dir_ = fs::temp_directory_path() / ("umbrix_settings_" + name);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "zzzumb.ini").string();
    }
    void TearDown() override { fs::remove_all(dir_); }
    void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string Read() {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Every name in the folder: a temporary file left beside the target, whatever its name,
    // shows here.
    std::vector<std::string> Entries(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const fs::directory_entry& e : fs::directory_iterator(folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_;
    std::string path_;
};

TEST_F(SettingsFileTest, WriteThenReadGivesTheSameSevenRecords) {
    Placements p = DefaultPlacements();
    p[kPlotDataWindow] = {120, -300, 6000, 4000};
    ASSERT_EQ(WriteSettingsFile(path_, p), "");
    const auto back = ReadSettingsFile(path_);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, p);
    EXPECT_EQ(Entries(dir_), std::vector<std::string>{"zzzumb.ini"});
}

TEST_F(SettingsFileTest, FileHasSevenCrLfLinesWithTheSpareSlotUnchanged) {
    ASSERT_EQ(WriteSettingsFile(path_, DefaultPlacements()), "");
    EXPECT_EQ(Read(),
              "8100,5600,7200,5400\r\n8100,3900,7200,7200\r\n8100,5600,7200,5400\r\n"
              "8100,5600,7200,5400\r\n6500,4600,8800,6500\r\n8100,5600,7200,5400\r\n"
              "8100,1500,6675,4245\r\n");
}

TEST_F(SettingsFileTest, BlanksAroundNumbersAndLfEndsAreRead) {
    Write(" 1 , 2,3 ,4\n5,6,7,8\n9,10,11,12\n13,14,15,16\n17,18,19,20\n21,22,23,24\n"
          "25,26,27,-28\nanything after the seventh line is not read\n");
    const auto p = ReadSettingsFile(path_);
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ((*p)[0], (WindowPlacement{1, 2, 3, 4}));
    EXPECT_EQ((*p)[6], (WindowPlacement{25, 26, 27, -28}));
}

struct BadSettings {
    const char* name;
    const char* text;
    friend void PrintTo(const BadSettings& c, std::ostream* os) { *os << c.name; }
};

class SettingsFileRefusals : public SettingsFileTest,
                             public testing::WithParamInterface<BadSettings> {};

TEST_P(SettingsFileRefusals, ReadFailsSoThatEveryDefaultIsUsed) {
    Write(GetParam().text);
    EXPECT_FALSE(ReadSettingsFile(path_).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFileRefusals,
    testing::Values(
        BadSettings{"ThreeLinesOnly", "1,2,3,4\r\n5,6,7,8\r\n9,10,11,12\r\n"},
        BadSettings{"Empty", ""},
        BadSettings{"NotANumber", "1,2,3,4\r\n5,x,7,8\r\n9,10,11,12\r\n1,2,3,4\r\n1,2,3,4\r\n"
                                  "1,2,3,4\r\n1,2,3,4\r\n"},
        BadSettings{"BeyondSixteenBits", "1,2,3,40000\r\n5,6,7,8\r\n9,10,11,12\r\n1,2,3,4\r\n"
                                         "1,2,3,4\r\n1,2,3,4\r\n1,2,3,4\r\n"},
        BadSettings{"EmptyField", "1,,3,4\r\n5,6,7,8\r\n9,10,11,12\r\n1,2,3,4\r\n1,2,3,4\r\n"
                                  "1,2,3,4\r\n1,2,3,4\r\n"},
        BadSettings{"Fraction", "1,2,3,4.5\r\n5,6,7,8\r\n9,10,11,12\r\n1,2,3,4\r\n1,2,3,4\r\n"
                                "1,2,3,4\r\n1,2,3,4\r\n"}),
    [](const testing::TestParamInfo<BadSettings>& info) { return info.param.name; });

TEST_F(SettingsFileTest, MissingFileIsNoSettings) {
    EXPECT_FALSE(ReadSettingsFile((dir_ / "absent.ini").string()).has_value());
}

TEST_F(SettingsFileTest, UnwritableFolderReportsAndLeavesNothingBehind) {
    const std::string message =
        WriteSettingsFile((dir_ / "no_such_folder" / "zzzumb.ini").string(), DefaultPlacements());
    EXPECT_NE(message.find("cannot create"), std::string::npos) << message;
    EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(SettingsFileTest, FailedRenameKeepsTheOldFile) {
    // A folder where the file should be: the rename fails, the temporary file is removed.
    fs::create_directories(dir_ / "taken.ini" / "inside");
    const std::string message =
        WriteFileAtomically((dir_ / "taken.ini").string(), "new text");
    EXPECT_NE(message.find("cannot replace"), std::string::npos) << message;
    EXPECT_TRUE(fs::is_directory(dir_ / "taken.ini"));
    EXPECT_EQ(Entries(dir_), std::vector<std::string>{"taken.ini"});
}

}  // namespace
}  // namespace umbrix
