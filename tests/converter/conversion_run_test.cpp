#include "converter/core/conversion_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "temp_dir.h"

namespace hjdprep {
namespace {

const std::string kExampleLine = "CASRZ 20070105213045 10.52V ABC remarks";
const char* const kOutputs[] = {"SDATA2.CSV", "SDATA2.2", "err.txt", "AVE_DAT1.djm", "umbrix25.txt", "cyclocode.dat"};

class ConversionRunTest : public testing::Test {
protected:
    RunSettings Settings(const std::string& log = "obs.std") {
        RunSettings s;
        s.StdFileName = log;
        s.directory = dir.path();
        return s;
    }
    void WithFixtureCatalogue() {
        dir.CopyIn(test::Fixture("star.dat"), "star.dat");
    }
    test::TempDir dir;
    DiskFiles disk;
};

TEST_F(ConversionRunTest, WorkedExampleWritesTheExactLinesOfAllSixFiles) {
    dir.Put("obs.std", kExampleLine + "\n");
    const RunResult r = RunConversion(Settings(), disk);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(dir.Read("SDATA2.CSV"), "20070105,ABC,213045,CASRZ,V magnitude,CCD(V),10520,454106.3949\n");
    EXPECT_EQ(dir.Read("SDATA2.2"), "20070105ABC" + std::string(7, ' ') + "213045CASRZ" + std::string(15, ' ') +
                                        "V magnitude    CCD(V)   10520 454106.3949\n");
    EXPECT_EQ(dir.Read("err.txt"), "");
    EXPECT_EQ(dir.Read("AVE_DAT1.djm"), "454106.3949  10.520\n");
    // JD 2454106.396354 less 2.16 min of light-time: worked with a separate transcription of
    // the date and Earth-orbit formulas (Python, double precision); its 4-decimal rounding is
    // the 454106.3949 of the other files.
    EXPECT_EQ(dir.Read("umbrix25.txt"), "454106.394853,10.520\n");
    EXPECT_EQ(dir.Read("cyclocode.dat"), "454106.3949  10.520 0\n");
    EXPECT_EQ(dir.Read("obs.std"), kExampleLine + "\n");
    EXPECT_EQ(dir.Read("obs_old.std"), kExampleLine + "\n");
    EXPECT_FALSE(dir.Exists("obs_new.std"));
    EXPECT_EQ(r.converted, 1u);
}

TEST_F(ConversionRunTest, JstClockIsNineHoursBehindInTheHjd) {
    dir.Put("obs.std", "CASRZ 20070106063045 10.52V ABC\n");  // 06:30:45 JST = 21:30:45 UT the day before
    RunSettings s = Settings();
    s.zone = TimeZone::JST;
    ASSERT_TRUE(RunConversion(s, disk).ok);
    EXPECT_EQ(dir.Read("umbrix25.txt"), "454106.394853,10.520\n");
}

TEST_F(ConversionRunTest, TypedCoordinatesMoveTheHjd) {
    dir.Put("obs.std", kExampleLine + "\n");
    RunSettings s = Settings();
    s.coordinates = {"06", "45", "00", "+23", "00"};  // near the Earth's direction: about +8.3 min
    ASSERT_TRUE(RunConversion(s, disk).ok);
    const double hjd = std::stod(dir.Read("umbrix25.txt"));
    EXPECT_NEAR(hjd - 454106.396354, 0.0058, 0.0002);

    // A northern star at 17h18m37s +41 53', 2007-01-05 22:00:00 UT: JD 2454106.416667,
    // light-time -2.95 min. Worked in the separate Python transcription of the formulas; the
    // sixth decimal is what the light curve gains over the other files' four.
    dir.Put("obs.std", "HERTX 20070105220000 8.10V JKL\n");
    s.coordinates = {"17", "18", "37", "+41", "53"};
    ASSERT_TRUE(RunConversion(s, disk).ok);
    EXPECT_EQ(dir.Read("umbrix25.txt"), "454106.414601,08.100\n");
    EXPECT_EQ(dir.Read("AVE_DAT1.djm"), "454106.4146  08.100\n");
    EXPECT_NE(dir.Read("SDATA2.CSV").find(",08100,454106.4146\n"), std::string::npos);
}

TEST_F(ConversionRunTest, AutomaticSearchConvertsKnownStarsAndListsTheRest) {
    WithFixtureCatalogue();
    dir.CopyIn(test::Fixture("night_with_quirks.std"), "night.std");
    const std::string original = dir.Read("night.std");
    RunSettings s = Settings("night.std");
    s.autoSearch = true;
    dir.CopyIn(test::Fixture("Alias.txt"), "Alias.txt");
    s.aliases = ParseAliasList(dir.Read("Alias.txt"));
    const RunResult r = RunConversion(s, disk);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.lines, 8u);
    EXPECT_EQ(r.converted, 5u);
    EXPECT_EQ(r.notFound, 1u);
    EXPECT_EQ(r.refused, 2u);

    const auto csv = dir.Lines("SDATA2.CSV");
    ASSERT_EQ(csv.size(), 5u);
    EXPECT_EQ(csv[0].substr(0, 26), "20070105,ABC,213045,CASRZ,");
    EXPECT_EQ(csv[2].substr(0, 28), "20070105,XYZ,214000,CASV455,");
    // JD 2454106.40625; the Sun stands 22.6 deg from this star (cos 0.9233), so the light
    // arrives 8.3169 min x 0.9233 = 7.68 min = 0.00533 day earlier at the Sun.
    EXPECT_EQ(csv[3], "20070105,DEF,214500,SGRV4,Rc magnitude,CCD(Rc),-01200,454106.4009");
    EXPECT_EQ(dir.Lines("umbrix25.txt").size(), 5u);
    EXPECT_EQ(dir.Lines("err.txt"), (std::vector<std::string>{"NOSUCH 20070105215000 9.9V GHI not in catalogue",
                                                               "broken_line_without_blank",
                                                               "HERTX 2007010522xx00 8.1V JKL bad time"}));
    // Every line stays in the rewritten log, aliases and "V0" applied, other bytes untouched.
    const auto rewritten = dir.Lines("night.std");
    ASSERT_EQ(rewritten.size(), 8u);
    EXPECT_EQ(rewritten[0], "CASRZ 20070105213045 10.52V ABC alias gives CASRZ");
    EXPECT_EQ(rewritten[2], "CASV455 20070105214000 11.2 XYZ visual estimate");
    EXPECT_EQ(rewritten[4], "NOSUCH 20070105215000 9.9V GHI not in catalogue");
    EXPECT_EQ(rewritten[5], "broken_line_without_blank");
    EXPECT_EQ(rewritten[7], "HERTX 20070105220000 8.10V JKL remarks \xe9\xe8 latin-1");
    EXPECT_EQ(dir.Read("night_old.std"), original);

    // The window shows the last star found afterwards.
    ASSERT_TRUE(r.lastFound.has_value());
    EXPECT_EQ(r.lastFound->name, "HERTX               ");
    EXPECT_EQ(r.lastFound->texts.DecDegree, "+41");
    EXPECT_EQ(r.coordinates.DecDegree, 41);
    EXPECT_EQ(r.coordinates.DecMinute, 53);
}

TEST_F(ConversionRunTest, SouthernStarJustBelowTheEquatorIsComputedSouth) {
    WithFixtureCatalogue();
    dir.Put("obs.std", "SGRV4 20070105213045 10.52V ABC\n");
    RunSettings s = Settings();
    s.autoSearch = true;
    const RunResult found = RunConversion(s, disk);
    ASSERT_TRUE(found.ok) << found.message;
    EXPECT_DOUBLE_EQ(found.coordinates.DecDegree + found.coordinates.DecMinute / 60, -0.5);
    const std::string searched = dir.Read("umbrix25.txt");

    // The same star typed into the boxes as "-00" "30" gives the same line.
    dir.Put("obs.std", "SGRV4 20070105213045 10.52V ABC\n");
    RunSettings typed = Settings();
    typed.coordinates = {"18", "45", "00", "-00", "30"};
    ASSERT_TRUE(RunConversion(typed, disk).ok);
    EXPECT_EQ(dir.Read("umbrix25.txt"), searched);
    // ...and differs from the northern one.
    typed.coordinates = {"18", "45", "00", "+00", "30"};
    ASSERT_TRUE(RunConversion(typed, disk).ok);
    EXPECT_NE(dir.Read("umbrix25.txt"), searched);
}

TEST_F(ConversionRunTest, RefusedLineCarriesNothingIntoTheNextRecord) {
    dir.Put("obs.std",
            "CASRZ 20070105213045 10.52V ABC\n"
            "CASRZ 20070105213145 V ABC\n"  // no magnitude: must not reuse 10.52
            "CASRZ 20070105213245 10.60 ABC\n");
    const RunResult r = RunConversion(Settings(), disk);
    ASSERT_TRUE(r.ok);
    const auto csv = dir.Lines("SDATA2.CSV");
    ASSERT_EQ(csv.size(), 2u);
    EXPECT_NE(csv[1].find(",213245,"), std::string::npos);
    EXPECT_NE(csv[1].find("visual mgnitude,visual mgnitude,10600,"), std::string::npos);
    EXPECT_EQ(dir.Read("err.txt"), "CASRZ 20070105213145 V ABC\n");
    EXPECT_EQ(dir.Lines("obs.std").size(), 3u);
}

struct LineEndCase {
    const char* name;
    std::string log;
    std::string rewritten;
};

class LineEndTest : public testing::TestWithParam<LineEndCase> {};

// The rewritten log keeps each line's own line end (and a missing one at the end), so a log
// that needs no renaming comes back byte for byte.
TEST_P(LineEndTest, RewrittenLogKeepsTheLineEnds) {
    test::TempDir dir;
    dir.Put("obs.std", GetParam().log);
    DiskFiles disk;
    RunSettings s;
    s.StdFileName = "obs.std";
    s.directory = dir.path();
    s.aliases = ParseAliasList("RZCAS                   CASRZ\n");
    const RunResult r = RunConversion(s, disk);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.converted, 2u);
    EXPECT_EQ(dir.Read("err.txt"), "");
    EXPECT_EQ(dir.Read("obs.std"), GetParam().rewritten);
    EXPECT_EQ(dir.Read("umbrix25.txt"), "454106.394853,10.520\n454106.394853,10.520\n");
}

const std::string kAliased = "RZCAS 20070105213045 10.52V ABC remarks";

INSTANTIATE_TEST_SUITE_P(
    Logs, LineEndTest,
    testing::Values(LineEndCase{"CrLfWithEmptyLine", kExampleLine + "\r\n\r\n" + kExampleLine + "\r\n",
                                kExampleLine + "\r\n\r\n" + kExampleLine + "\r\n"},
                    LineEndCase{"NoEndAfterLastLine", kExampleLine + "\n" + kExampleLine, kExampleLine + "\n" + kExampleLine},
                    LineEndCase{"MixedEndsAndAlias", kAliased + "\r\n" + kExampleLine + "\n",
                                kExampleLine + "\r\n" + kExampleLine + "\n"}),
    [](const testing::TestParamInfo<LineEndCase>& info) { return std::string(info.param.name); });

// Two stars observed in turn, each out of time order in the log: umbrix25.txt keeps the
// log's order, each star's file has only its records, sorted by time.
TEST_F(ConversionRunTest, EachStarGetsItsOwnLightCurveSortedByTime) {
    const std::string log =
        "CASRZ 20070105220000 10.50V ABC\n"
        "HERTX 20070105210000 8.10V JKL\n"
        "CASRZ 20070105213045 10.52V ABC\n"
        "HERTX 20070105211000 8.20V JKL\n"
        "CASRZ 20070105230000 10.60V ABC\n"
        "A/B 20070105230000 9.00V ABC\n"
        "A_B 20070105230000 9.10V ABC\n"
        "CASRZ 20070105213045 10.55V ABC\n";  // same time as the third: after it
    // Sorted in memory, and (as a log too long for that is) in runs of 3, 2 and 1 records
    // merged through the scratch file.
    for (const std::size_t inMemory : {std::size_t{1} << 18, std::size_t{3}, std::size_t{2}, std::size_t{1}}) {
        SCOPED_TRACE("sorted in memory at once: " + std::to_string(inMemory));
        dir.Put("obs.std", log);
        RunSettings s = Settings();
        s.sortInMemory = inMemory;
        const RunResult r = RunConversion(s, disk);
        ASSERT_TRUE(r.ok) << r.message;
        const std::vector<std::string> u = dir.Lines("umbrix25.txt");
        ASSERT_EQ(u.size(), 8u);
        // The log's order, told by the magnitudes; the third record is the worked example.
        const char* magnitudes[] = {",10.500", ",08.100", ",10.520", ",08.200",
                                    ",10.600", ",09.000", ",09.100", ",10.550"};
        for (std::size_t k = 0; k < u.size(); ++k) EXPECT_EQ(u[k].substr(u[k].find(',')), magnitudes[k]) << k;
        EXPECT_EQ(u[2], "454106.394853,10.520");
        EXPECT_EQ(dir.Lines("umbrix25_CASRZ.txt"), (std::vector<std::string>{u[2], u[7], u[0], u[4]}));
        EXPECT_EQ(dir.Lines("umbrix25_HERTX.txt"), (std::vector<std::string>{u[1], u[3]}));
        // "/" cannot be in a file name; the star that comes out alike gets its own file.
        EXPECT_EQ(dir.Lines("umbrix25_A_B.txt"), std::vector<std::string>{u[5]});
        EXPECT_EQ(dir.Lines("umbrix25_A_B_2.txt"), std::vector<std::string>{u[6]});
        EXPECT_EQ(r.perStarFiles, 4u);
    }
}

TEST_F(ConversionRunTest, LogNamedLikeAStarsLightCurveIsNotOverwritten) {
    dir.Put("umbrix25_CASRZ.txt", kExampleLine + "\n");
    const RunResult r = RunConversion(Settings("umbrix25_CASRZ.txt"), disk);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("would overwrite the std file"), std::string::npos) << r.message;
    EXPECT_EQ(dir.Read("umbrix25_CASRZ.txt"), kExampleLine + "\n");
    EXPECT_FALSE(dir.Exists("umbrix25.txt"));
}

TEST(PerStarFileName, DropsBlanksAndReplacesUnsafeBytes) {
    EXPECT_EQ(PerStarFileName("CASRZ               "), "umbrix25_CASRZ.txt");
    EXPECT_EQ(PerStarFileName("V1 SGR"), "umbrix25_V1SGR.txt");
    EXPECT_EQ(PerStarFileName("../x*?:\\\xe9"), "umbrix25_.._x_____.txt");
    EXPECT_EQ(PerStarFileName("V0455-Cas+2.b_c"), "umbrix25_V0455-Cas+2.b_c.txt");
}

TEST_F(ConversionRunTest, RunReplacesThePreviousBackup) {
    dir.Put("obs.std", kExampleLine + "\n");
    dir.Put("obs_old.std", "stale backup\n");
    ASSERT_TRUE(RunConversion(Settings(), disk).ok);
    EXPECT_EQ(dir.Read("obs_old.std"), kExampleLine + "\n");
}

TEST_F(ConversionRunTest, LogNameWithoutDotGetsSuffixedBackup) {
    dir.Put("night", kExampleLine + "\n");
    ASSERT_TRUE(RunConversion(Settings("night"), disk).ok);
    EXPECT_EQ(dir.Read("night_old"), kExampleLine + "\n");
    EXPECT_FALSE(dir.Exists("night_new"));
}

TEST_F(ConversionRunTest, MissingCatalogueWithAutomaticSearchWritesNothing) {
    dir.Put("obs.std", kExampleLine + "\n");
    RunSettings s = Settings();
    s.autoSearch = true;
    const RunResult r = RunConversion(s, disk);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("star.dat"), std::string::npos);
    for (const char* out : kOutputs) EXPECT_FALSE(dir.Exists(out)) << out;
    EXPECT_FALSE(dir.Exists("obs_old.std"));
    EXPECT_EQ(dir.Read("obs.std"), kExampleLine + "\n");
}

TEST_F(ConversionRunTest, ImpossibleCoordinatesWriteNothing) {
    dir.Put("obs.std", kExampleLine + "\n");
    RunSettings s = Settings();
    s.coordinates = {"02", "48", "55", "+69", "75"};
    const RunResult r = RunConversion(s, disk);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("Declination minutes \"75\" is outside 0 to 59"), std::string::npos) << r.message;
    for (const char* out : kOutputs) EXPECT_FALSE(dir.Exists(out)) << out;
    EXPECT_FALSE(dir.Exists("obs_old.std"));
}

TEST_F(ConversionRunTest, MissingLogIsReportedAndNothingWritten) {
    const RunResult r = RunConversion(Settings("absent.std"), disk);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("absent.std"), std::string::npos);
    for (const char* out : kOutputs) EXPECT_FALSE(dir.Exists(out)) << out;
}

TEST_F(ConversionRunTest, LogNamedLikeAnOutputFileIsRefused) {
    dir.Put("err.txt", kExampleLine + "\n");
    const RunResult r = RunConversion(Settings("./err.txt"), disk);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(dir.Read("err.txt"), kExampleLine + "\n");
}

TEST_F(ConversionRunTest, ProgressSeesEveryLineInOrder) {
    dir.Put("obs.std", kExampleLine + "\nbad\n" + kExampleLine + "\n");
    std::vector<std::string> seen;
    ASSERT_TRUE(RunConversion(Settings(), disk, [&](std::size_t i, std::size_t total, const std::string& line) {
                    EXPECT_EQ(i, seen.size());
                    EXPECT_EQ(total, 3u);
                    seen.push_back(line);
                }).ok);
    EXPECT_EQ(seen, (std::vector<std::string>{kExampleLine, "bad", kExampleLine}));
}

// Counts reads per file, lists every operation that can fail, and fails the n-th of them
// (counting from 0) the way the disk would: a start, an end or a flush that fails leaves
// nothing behind, a commit that fails leaves the target as it was.
class FaultyFiles : public FileAccess {
public:
    explicit FaultyFiles(int failAt) : failAt_(failAt) {}
    std::optional<std::string> Read(const std::filesystem::path& p) override {
        ++reads[p.filename().string()];
        return disk_.Read(p);
    }
    std::unique_ptr<std::istream> OpenForReading(const std::filesystem::path& p) override {
        return disk_.OpenForReading(p);
    }
    std::string Open(const std::filesystem::path& target, StagedStream& stream) override {
        if (Fail("open", target.string())) return "cannot write " + target.string() + ": No space left on device";
        return disk_.Open(target, stream);
    }
    std::string Close(StagedStream& stream, bool flush, StagedFile& staged) override {
        if (Fail("close", stream.target)) {
            const std::string target = stream.target;
            disk_.Discard(stream);
            return "cannot write " + target + ": No space left on device";
        }
        return disk_.Close(stream, flush, staged);
    }
    std::string FlushFileSystem(const std::filesystem::path& folder) override {
        if (Fail("flush", folder.string())) return "cannot flush the files in " + folder.string() + ": No space left on device";
        return disk_.FlushFileSystem(folder);
    }
    std::string Commit(StagedFile& staged, bool flushFolder) override {
        if (Fail("commit", staged.target)) {
            disk_.Discard(staged);
            return "cannot replace " + staged.target + ": Input/output error";
        }
        return disk_.Commit(staged, flushFolder);
    }
    void Discard(StagedStream& stream) override { disk_.Discard(stream); }
    void Discard(StagedFile& staged) override { disk_.Discard(staged); }
    std::vector<std::pair<std::string, std::string>> operations;  // what, and the file or folder
    std::map<std::string, int> reads;

private:
    bool Fail(const char* what, const std::string& target) {
        operations.emplace_back(what, target);
        return static_cast<int>(operations.size()) - 1 == failAt_;
    }
    int failAt_;
    DiskFiles disk_;
};

TEST_F(ConversionRunTest, TwoRecordsOfTheSameStarReadTheCatalogueOnce) {
    WithFixtureCatalogue();
    dir.Put("obs.std", kExampleLine + "\n" + kExampleLine + "\nHERTX 20070105213045 8.1V ABC\n");
    RunSettings s = Settings();
    s.autoSearch = true;
    FaultyFiles counting(-1);
    ASSERT_TRUE(RunConversion(s, counting).ok);
    EXPECT_EQ(counting.reads["star.dat"], 1);
    EXPECT_EQ(dir.Lines("umbrix25.txt").size(), 3u);
}

// A failure at any file operation of the run: the eight files (six outputs, the backup, the
// log) are started, the outputs ended, the two per-star light curves written, the backup and
// the log ended, then all ten committed: outputs, light curves, backup, log. A failure before the commits changes nothing at all; a failed
// commit leaves the log the original; the message names the file and why.
TEST_F(ConversionRunTest, FailureAtAnyStepKeepsTheOriginalLog) {
    const std::string original = "RZCAS 20070105213045 10.52V ABC \xe9\r\nbroken\r\nCASRZ 200701052130 9.9 X\r\n";
    FaultyFiles probe(-1);
    dir.Put("obs.std", original);
    ASSERT_TRUE(RunConversion(Settings(), probe).ok);
    const auto operations = probe.operations;
    ASSERT_EQ(operations.size(), 30u);
    const auto at = [&](std::size_t k) { return std::filesystem::path(operations[k].second).filename().string(); };
    EXPECT_EQ(at(18) + at(19), "obs_old.stdobs.std");
    const std::vector<std::string> commitOrder = {"SDATA2.CSV",  "SDATA2.2",          "err.txt",
                                                  "AVE_DAT1.djm", "umbrix25.txt",      "cyclocode.dat",
                                                  "umbrix25_RZCAS.txt", "umbrix25_CASRZ.txt", "obs_old.std",
                                                  "obs.std"};
    for (std::size_t k = 0; k < commitOrder.size(); ++k) EXPECT_EQ(at(20 + k), commitOrder[k]) << k;

    for (std::size_t failAt = 0; failAt < operations.size(); ++failAt) {
        SCOPED_TRACE("failing operation " + std::to_string(failAt) + ": " + operations[failAt].first + " " +
                     operations[failAt].second);
        std::filesystem::remove_all(dir.path());
        std::filesystem::create_directories(dir.path());
        dir.Put("obs.std", original);
        dir.Put("obs_old.std", "previous backup\n");
        for (const char* out : kOutputs) dir.Put(out, std::string("previous ") + out);
        FaultyFiles faulty(static_cast<int>(failAt));
        const RunResult r = RunConversion(Settings(), faulty);
        EXPECT_FALSE(r.ok);
        const bool commit = operations[failAt].first == "commit";
        EXPECT_NE(r.message.find(operations[failAt].second), std::string::npos) << r.message;
        EXPECT_NE(r.message.find(commit ? "Input/output error" : "No space left on device"), std::string::npos)
            << r.message;
        EXPECT_EQ(dir.Read("obs.std"), original);
        EXPECT_NE(r.message.find("not changed"), std::string::npos) << r.message;
        // Files committed before the failure are new, the others as they were.
        const std::size_t committed = failAt < 20 ? 0 : failAt - 20;
        for (std::size_t k = 0; k < 6; ++k)
            EXPECT_EQ(dir.Read(kOutputs[k]) == std::string("previous ") + kOutputs[k], k >= committed) << kOutputs[k];
        EXPECT_EQ(dir.Exists("umbrix25_RZCAS.txt"), committed > 6);
        EXPECT_EQ(dir.Exists("umbrix25_CASRZ.txt"), committed > 7);
        EXPECT_EQ(dir.Read("obs_old.std"), committed > 8 ? original : "previous backup\n");
        // No temporary is left behind.
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
        EXPECT_EQ(entries, 8u + std::min<std::size_t>(committed > 6 ? committed - 6 : 0, 2));
    }
}

// Many stars: their light curves reach the disk by one flush of the file system, and a flush
// that fails changes nothing.
TEST_F(ConversionRunTest, ManyStarsAreFlushedTogetherAndAFailedFlushChangesNothing) {
    std::string log;
    for (int k = 0; k < 40; ++k) log += "STAR" + std::to_string(k) + " 20070105213045 10.52V ABC\n";
    dir.Put("obs.std", log);
    FaultyFiles probe(-1);
    ASSERT_TRUE(RunConversion(Settings(), probe).ok);
    EXPECT_TRUE(dir.Exists("umbrix25_STAR39.txt"));
    const auto flush = std::find_if(probe.operations.begin(), probe.operations.end(),
                                    [](const auto& op) { return op.first == "flush"; });
    ASSERT_NE(flush, probe.operations.end());
    EXPECT_EQ(std::count_if(probe.operations.begin(), probe.operations.end(),
                            [](const auto& op) { return op.first == "flush"; }),
              1);

    std::filesystem::remove_all(dir.path());
    std::filesystem::create_directories(dir.path());
    dir.Put("obs.std", log);
    FaultyFiles faulty(static_cast<int>(flush - probe.operations.begin()));
    const RunResult r = RunConversion(Settings(), faulty);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("No space left on device"), std::string::npos) << r.message;
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1u);
    EXPECT_EQ(dir.Read("obs.std"), log);
}

}  // namespace
}  // namespace hjdprep
