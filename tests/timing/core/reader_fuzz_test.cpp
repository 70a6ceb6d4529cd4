// Feeds the reader thousands of random and mutated files. Every one must end in either a
// data set that keeps the store's invariants or a refusal with a message; under the
// sanitizer build any read outside an array stops the test.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "timing/core/data/reader.h"
#include "timing/core/long/long_curve.h"
#include "timing/core/long/long_eclipses.h"

namespace umbrix {
namespace {

const std::string kSeeds[] = {
    "HJD,Mag\n2454123.51234,12.345\n2454123.52234,12.401\n2454123.53234,12.512\n",
    "2454123.5,12.3,0.01\n2454123.6,12.4,0.01\n2454123.7,12.9,0.02\n",
    "2454123.40,11.20\r\n2454123.41,11.50\r\n\r\n",
    "1,2,3,4,5,6\n1,2,3,4,5,6\n",
    " +2.5e3 , -.5\n-0,+0.\n",
};

// The alphabet of mutations: every byte value once (NUL and 0xFF among them), then what the
// sniffing and the number parser care about four times over, so that most mutations still
// give near-numbers.
std::string MakeAlphabet() {
    std::string a;
    for (int b = 0; b < 256; ++b) a += static_cast<char>(b);
    for (int k = 0; k < 4; ++k) a += "0123456789+-.,eE \t\r\n\"";
    return a;
}
const std::string kAlphabet = MakeAlphabet();

std::string Mutate(std::string s, std::mt19937& rng) {
    std::uniform_int_distribution<int> op(0, 3);
    std::uniform_int_distribution<std::size_t> ch(0, kAlphabet.size() - 1);
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int k = 0; k < edits; ++k) {
        const std::size_t pos = s.empty() ? 0 : rng() % (s.size() + 1);
        switch (op(rng)) {
            case 0: s.insert(pos, 1, kAlphabet[ch(rng)]); break;
            case 1: if (pos < s.size()) s.erase(pos, 1); break;
            case 2: if (pos < s.size()) s[pos] = kAlphabet[ch(rng)]; break;
            default: s.insert(pos, s.substr(0, rng() % (s.size() + 1))); break;  // repeat a run
        }
    }
    return s;
}

std::string RandomText(std::mt19937& rng) {
    std::uniform_int_distribution<std::size_t> ch(0, kAlphabet.size() - 1);
    std::string s(rng() % 400, ' ');
    for (char& c : s) c = kAlphabet[ch(rng)];
    return s;
}

void CheckOutcome(const std::string& text) {
    const ParsedLightCurve r = ParseLightCurve(text, "fuzz.csv");
    if (!r.ok) {
        ASSERT_FALSE(r.message.empty());
        ASSERT_TRUE(r.hjd.empty());
        return;
    }
    ASSERT_TRUE(r.message.empty());
    ASSERT_EQ(r.hjd.size(), r.mag.size());
    ASSERT_GE(r.hjd.size(), 1u);
    ASSERT_LE(r.hjd.size(), static_cast<std::size_t>(kMaxPoints));
    auto ds = std::make_unique<DataSet>();
    ApplyLightCurve(*ds, r.hjd, r.mag);
    ASSERT_EQ(ds->ReadCount, ds->PointCount);
    for (int i = 1; i <= ds->ReadCount; ++i) {
        ASSERT_TRUE(std::isfinite(ds->Time[i]));
        ASSERT_EQ(ds->AllMag[i], ds->RawMag[i] * ds->MagSign);
    }
    ASSERT_GE(ds->MagMaxIndex, 0);
    ASSERT_LE(ds->MagMaxIndex, ds->PointCount);
    ASSERT_TRUE(std::isfinite(ds->GuessMinTime));
}

TEST(ReaderFuzz, MutatedLightCurvesNeverCrashAndKeepInvariants) {
    std::mt19937 rng(20261208);
    int accepted = 0;
    for (int round = 0; round < 4000; ++round) {
        const std::string text = Mutate(kSeeds[round % std::size(kSeeds)], rng);
        CheckOutcome(text);
        if (HasFatalFailure()) FAIL() << "input: " << testing::PrintToString(text);
        accepted += ParseLightCurve(text, "fuzz.csv").ok;
    }
    // The mutations must still reach the accepting path, or the test only exercises refusals.
    EXPECT_GT(accepted, 200);
}

TEST(ReaderFuzz, RandomBytesNeverCrash) {
    std::mt19937 rng(42);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = RandomText(rng);
        CheckOutcome(text);
        if (HasFatalFailure()) FAIL() << "input: " << testing::PrintToString(text);
    }
}


// Long tables: every mutation is either refused with a message or read into a curve whose
// columns agree and whose times rise, and the eclipses cut from it stay inside it.
const std::string kLongSeeds[] = {
    "BJD_TDB\trel_flux_T1\trel_flux_err_T1\n2459000.10\t1.0\t0.01\n2459000.11\t0.6\t0.01\n"
    "2459000.12\t0.5\t0.01\n2459000.13\t0.6\t0.01\n2459000.14\t1.0\t0.01\n2459000.15\t1.0\t0.01\n",
    "# comment\nJ.D.-2400000;mag\n59000,10;10,1\n59000,11;10,5\n59000,12;10,9\n59000,13;10,5\n",
    "  1.0  10.1  0.01\n  1.1  10.4  0.01\n  1.2  10.8 0.01\n  1.3  10.4  0.01\n  1.4 10.1 0.01\n",
};

void CheckLongOutcome(const std::string& text) {
    LongCurve c;
    const std::string message = ReadTable(text, "fuzz.tsv", {}, c);
    if (!message.empty()) {
        ASSERT_TRUE(c.time.empty());
        return;
    }
    ASSERT_GE(c.time.size(), 2u);
    ASSERT_EQ(c.mag.size(), c.time.size());
    ASSERT_EQ(c.line.size(), c.time.size());
    ASSERT_TRUE(c.error.empty() || c.error.size() == c.time.size());
    ASSERT_TRUE(std::is_sorted(c.time.begin(), c.time.end()));
    for (const double m : c.mag) ASSERT_TRUE(std::isfinite(m));
    for (const bool ephemeris : {false, true}) {
        EclipseSearch search;
        if (ephemeris) search.t0 = c.time.front(), search.period = 0.05, search.halfWidth = 0.01;
        const LongEclipses found = FindLongEclipses(c, search);
        for (const LongEclipse& e : found.eclipses) {
            ASSERT_LE(e.first + e.count, c.time.size());
            const WindowPoints w = PointsOfWindow(c, e, 3);
            ASSERT_LE(w.time.size(), 3u);
            ASSERT_EQ(w.time.size(), w.mag.size());
        }
    }
}

TEST(ReaderFuzz, MutatedLongTablesNeverCrashAndKeepTheirColumnsTogether) {
    std::mt19937 rng(20261209);
    int accepted = 0;
    for (int round = 0; round < 1500; ++round) {
        std::string text = kLongSeeds[round % std::size(kLongSeeds)];
        for (int k = 0; k < 3; ++k) text += text;  // long enough to hold a dip worth finding
        text = Mutate(text, rng);
        CheckLongOutcome(text);
        if (HasFatalFailure()) FAIL() << "input: " << testing::PrintToString(text);
        LongCurve c;
        accepted += ReadTable(text, "fuzz.tsv", {}, c).empty();
    }
    EXPECT_GT(accepted, 150);
}

}  // namespace
}  // namespace umbrix
