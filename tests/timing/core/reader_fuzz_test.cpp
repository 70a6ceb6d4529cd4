// Feeds the reader thousands of random and mutated files. Every one must end in either a
// data set that keeps the store's invariants or a refusal with a message; under the
// sanitizer build any read outside an array stops the test.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "timing/core/data/reader.h"

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

}  // namespace
}  // namespace umbrix
