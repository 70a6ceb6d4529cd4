#include "timing/core/data/reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace umbrix {
namespace {

namespace fs = std::filesystem;

ParsedLightCurve Parse(const std::string& text) { return ParseLightCurve(text, "night.csv"); }

std::string Lines(int count, const std::string& line) {
    std::string s;
    for (int i = 0; i < count; ++i) s += line + "\n";
    return s;
}

TEST(ReaderSniffing, LetterHeaderIsSkipped) {
    const auto r = Parse("HJD,Mag\n2454123.51234,12.345\n2454123.52,12.4\n");
    ASSERT_TRUE(r.ok) << r.message;
    ASSERT_EQ(r.hjd.size(), 2u);
    EXPECT_EQ(r.hjd[0], 2454123.51234);
    EXPECT_EQ(r.mag[0], 12.345);
}

TEST(ReaderSniffing, FirstLineWithOtherCommaCountIsSkippedThoughNumeric) {
    const auto r = Parse("2454123.50,12.3,0.01\n2454123.51,12.4\n2454123.52,12.5\n");
    ASSERT_TRUE(r.ok) << r.message;
    ASSERT_EQ(r.hjd.size(), 2u);
    EXPECT_EQ(r.hjd[0], 2454123.51);
}

TEST(ReaderSniffing, NumericFirstLineWithSameShapeIsData) {
    const auto r = Parse(" +2454123.50 , -0.3\n2454123.51,-0.4\n");
    ASSERT_TRUE(r.ok) << r.message;
    ASSERT_EQ(r.hjd.size(), 2u);
    EXPECT_EQ(r.hjd[0], 2454123.50);
    EXPECT_EQ(r.mag[0], -0.3);
}

TEST(ReaderSniffing, ExponentOrTabInFirstLineMakesItAHeader) {
    EXPECT_EQ(Parse("2454123.5,1E1\n2454123.6,12\n2454123.7,12\n").hjd.size(), 2u);
    EXPECT_EQ(Parse("2454123.5,\t12\n2454123.6,12\n2454123.7,12\n").hjd.size(), 2u);
}

// A UTF-8 byte-order mark belongs to the encoding: line 1 is judged without it.
TEST(ReaderSniffing, ByteOrderMarkIsNotPartOfTheFirstLine) {
    const auto data = Parse("\xEF\xBB\xBF" "2454123.5,12.3\n2454123.6,12.4\n2454123.7,12.5\n");
    ASSERT_TRUE(data.ok) << data.message;
    ASSERT_EQ(data.hjd.size(), 3u);
    EXPECT_EQ(data.hjd[0], 2454123.5);
    const auto header = Parse("\xEF\xBB\xBFHJD,Mag\r\n2454123.6,12.4\r\n2454123.7,12.5\r\n");
    ASSERT_TRUE(header.ok) << header.message;
    ASSERT_EQ(header.hjd.size(), 2u);
    EXPECT_EQ(header.hjd[0], 2454123.6);
}

TEST(ReaderRecords, ExtraColumnsAreReadAndDiscarded) {
    const auto r = Parse(Lines(7, "2454123.5,12.3,0.01"));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.hjd.size(), 7u);
    EXPECT_EQ(r.mag[6], 12.3);
    // Whatever stands in the unused columns is not looked at.
    EXPECT_TRUE(Parse(Lines(3, "2454123.5,12.3,V,comp star,,x")).ok);
}

TEST(ReaderRecords, CrLfAndTrailingBlankLinesAreAccepted) {
    const auto r = Parse("2454123.40,11.2\r\n2454123.41,11.5\r\n\r\n  \r\n\n");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.hjd.size(), 2u);
    EXPECT_EQ(r.mag[1], 11.5);
}

TEST(ReaderRecords, ExactlyOneThousandPointsAreAccepted) {
    const auto r = Parse(Lines(1000, "2454123.5,12.3"));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.hjd.size(), 1000u);
}

TEST(ReaderRecords, NumbersTakeSignsExponentsAndBareDecimalPoints) {
    const auto r = Parse("0,0\n+2454123.5,.5\n-1.5e2,5.\n");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.hjd[2], -150.0);
    EXPECT_EQ(r.mag[1], 0.5);
    EXPECT_EQ(r.mag[2], 5.0);
}

struct RefusalCase {
    const char* name;
    std::string text;
    std::string expectedPart;  // a piece the message must contain (file, line, reason)
    friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }
};

class ReaderRefusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(ReaderRefusals, RefuseWithAMessageNamingFileAndLine) {
    const auto r = Parse(GetParam().text);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.hjd.empty());
    EXPECT_NE(r.message.find(GetParam().expectedPart), std::string::npos) << r.message;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReaderRefusals,
    testing::Values(
        RefusalCase{"SecondLineWithoutComma", "HJD Mag\n2454123.5 12.3\n",
                    "Sorry - your data file needs to be in the Comma Separated Variables "
                    "format.  See [menu] Help > Help - Data Files for details."},
        RefusalCase{"EmptyFile", "", "\"night.csv\" is empty"},
        RefusalCase{"OnlyBlankLines", "\n  \n\r\n", "\"night.csv\" is empty"},
        RefusalCase{"OneLine", "2454123.5,12.3\n\n", "\"night.csv\" has only one line"},
        RefusalCase{"SevenColumns", "h\n1,2,3,4,5,6,7\n", "\"night.csv\", line 2: it has 7 columns"},
        RefusalCase{"MoreThanOneThousandPoints", "HJD,Mag\n" + Lines(1001, "2454123.5,12.3"),
                    "\"night.csv\", line 1002: the file holds more than 1000 points"},
        RefusalCase{"TextInMagnitude", "2454123.5,12.3\n2454123.6,12.4\n2454123.7,n/a\n",
                    "\"night.csv\", line 3: column 2 (\"n/a\") is not a number"},
        RefusalCase{"EmptyTime", "2454123.5,12.3\n2454123.6,12.4\n ,12.5\n",
                    "line 3: column 1 (\"\") is not a number"},
        RefusalCase{"NotANumberSpelledOut", "1,2\n1,2\nnan,2\n", "line 3: column 1 (\"nan\")"},
        RefusalCase{"HugeExponent", "1,2\n1,2\n1e999,2\n", "line 3: column 1 (\"1e999\")"},
        RefusalCase{"BlankLineInMiddle", "1,2\n1,2\n\n1,2\n",
                    "line 3: the line is blank; blank lines are allowed only at the end"},
        RefusalCase{"RaggedLine", "1,2,3\n1,2,3\n1,2\n1,2,3\n",
                    "line 3: it has 2 columns, but line 2 has 3"},
        RefusalCase{"HeaderOnly", "Time,Mag\n\n", "has only one line"},
        RefusalCase{"BlankSecondLine", "HJD,Mag\n\n2454123.5,12.3\n2454123.6,12.4\n",
                    "\"night.csv\", line 2: the line is blank; blank lines are allowed only at the end"},
        // Control characters and broken UTF-8 are shown as \xNN; good UTF-8 stays readable.
        RefusalCase{"UnprintableBytesEscaped", "1,2\n1,2\n1,\xe8\xa6\xb3\x01" "a\xff\x7f\n",
                    "line 3: column 2 (\"\xe8\xa6\xb3\\x01a\\xff\\x7f\") is not a number"}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

// File-based loading: the data set is replaced only by a good file.
class LoadDataFileTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("umbrix_reader_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void Name(DataSet& ds, const std::string& file) {
        ds.DataDir = dir_.string();
        ds.DataFileName = file;
        ds.DataPath = JoinPath(ds.DataDir, ds.DataFileName);
    }
    void Write(const std::string& file, const std::string& text) {
        std::ofstream(dir_ / file, std::ios::binary) << text;
    }

    fs::path dir_;
    std::unique_ptr<DataSet> ds_ = std::make_unique<DataSet>();
};

TEST_F(LoadDataFileTest, DerivesTheStoreFromTheFile) {
    Write("a.csv", "HJD,Mag\n2454123.9,12.0\n2454123.95,12.7\n2454124.05,12.2\n");
    Name(*ds_, "a.csv");
    ASSERT_EQ(LoadDataFile(*ds_), "");
    EXPECT_EQ(ds_->ReadCount, 3);
    EXPECT_EQ(ds_->PointCount, 3);
    EXPECT_EQ(ds_->DayOffset, 2454123.0);
    EXPECT_NEAR(ds_->Time[1], 0.9, 1e-9);
    EXPECT_NEAR(ds_->Time[3], 1.05, 1e-9);  // one night may run past the offset day
    EXPECT_EQ(ds_->MagMaxIndex, 2);
    EXPECT_EQ(ds_->FullMagMaxIndex, 2);
    EXPECT_EQ(ds_->GuessMinTime, 0.95);
    EXPECT_EQ(ds_->MagSign, 1);
}

TEST_F(LoadDataFileTest, NegativeFirstTimeTakesTheFloor) {
    Write("neg.csv", "-0.25,1\n0.5,2\n");
    Name(*ds_, "neg.csv");
    ASSERT_EQ(LoadDataFile(*ds_), "");
    EXPECT_EQ(ds_->DayOffset, -1.0);
    EXPECT_EQ(ds_->Time[1], 0.75);
}

TEST_F(LoadDataFileTest, ALoadResetsSignAndDeletionsOfThePreviousFile) {
    Write("a.csv", "2454123.40,12.0\n2454123.41,12.5\n2454123.42,12.1\n");
    Name(*ds_, "a.csv");
    ASSERT_EQ(LoadDataFile(*ds_), "");
    SetMagSign(*ds_, 1);
    ASSERT_TRUE(SetDeleted(*ds_, 2, true));
    ASSERT_EQ(LoadDataFile(*ds_), "");
    EXPECT_EQ(ds_->MagSign, 1);
    EXPECT_FALSE(ds_->Deleted[2]);
    EXPECT_EQ(ds_->PointCount, 3);
    EXPECT_EQ(ds_->Mag[2], 12.5);
}

TEST_F(LoadDataFileTest, RefusedFileLeavesThePreviousDataExactlyAsItWas) {
    Write("good.csv", "2454123.40,12.0\n2454123.41,12.5\n2454123.42,12.1\n");
    Write("bad.csv", "2454124.40,13.0\n2454124.41,oops\n");
    Name(*ds_, "good.csv");
    ASSERT_EQ(LoadDataFile(*ds_), "");
    ASSERT_TRUE(SetDeleted(*ds_, 3, true));
    const auto before = std::make_unique<DataSet>(*ds_);

    Name(*ds_, "bad.csv");
    const std::string message = LoadDataFile(*ds_);
    EXPECT_EQ(message, "\"bad.csv\", line 2: column 2 (\"oops\") is not a number.");
    // Only the file's identity names the new file.
    EXPECT_EQ(ds_->DataFileName, "bad.csv");
    Name(*ds_, "good.csv");
    EXPECT_EQ(ds_->RawHjd, before->RawHjd);
    EXPECT_EQ(ds_->AllMag, before->AllMag);
    EXPECT_EQ(ds_->Deleted, before->Deleted);
    EXPECT_EQ(ds_->Time, before->Time);
    EXPECT_EQ(ds_->ReadCount, 3);
    EXPECT_EQ(ds_->PointCount, 2);
    EXPECT_EQ(ds_->DayOffset, before->DayOffset);
    EXPECT_EQ(ds_->MagMax, before->MagMax);
    EXPECT_EQ(ds_->FullTimeSpan, before->FullTimeSpan);
    EXPECT_EQ(ds_->GuessMinTime, before->GuessMinTime);
}

TEST_F(LoadDataFileTest, MissingFileAndFolderAreRefusedByName) {
    Name(*ds_, "absent.csv");
    EXPECT_EQ(LoadDataFile(*ds_), "Cannot open \"absent.csv\": there is no such file.");
    fs::create_directories(dir_ / "folder.csv");
    Name(*ds_, "folder.csv");
    EXPECT_EQ(LoadDataFile(*ds_), "Cannot open \"folder.csv\": it is not a file.");
    EXPECT_EQ(ds_->ReadCount, 0);
}

TEST_F(LoadDataFileTest, FixtureFilesOfTheTestTree) {
    ds_->DataDir = UMBRIX_TEST_DATA;
    for (const char* name : {"header_with_letters.csv", "crlf_and_trailing_blank_lines.csv"}) {
        ds_->DataFileName = name;
        ds_->DataPath = JoinPath(ds_->DataDir, name);
        EXPECT_EQ(LoadDataFile(*ds_), "") << name;
    }
    EXPECT_EQ(ds_->ReadCount, 4);
    EXPECT_EQ(ds_->MagMaxIndex, 3);
    ds_->DataPath = JoinPath(ds_->DataDir, "blank_line_in_middle.csv");
    ds_->DataFileName = "blank_line_in_middle.csv";
    EXPECT_NE(LoadDataFile(*ds_).find("line 3: the line is blank"), std::string::npos);
    EXPECT_EQ(ds_->ReadCount, 4);
}

}  // namespace
}  // namespace umbrix
