#include "timing/core/data/json.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "timing/cli/batch.h"

namespace umbrix {
namespace {

// Good UTF-8 (é, 観) passes through; each byte of a broken sequence becomes U+FFFD: a lone
// 0xFF, a surrogate (ED A0 80), an overlong "/" (C0 AF), a code point beyond U+10FFFF
// (F4 90 80 80) and a sequence cut short at the end (E8 A6).
TEST(JsonString, IsAlwaysValidUtf8) {
    EXPECT_EQ(JsonString("a\xff" "b\xc3\xa9\xe8\xa6\xb3"), "\"a\\ufffdb\xc3\xa9\xe8\xa6\xb3\"");
    EXPECT_EQ(JsonString("\xed\xa0\x80|\xc0\xaf|\xf4\x90\x80\x80|\xe8\xa6"),
              "\"\\ufffd\\ufffd\\ufffd|\\ufffd\\ufffd|\\ufffd\\ufffd\\ufffd\\ufffd|\\ufffd\\ufffd\"");
    EXPECT_EQ(JsonString("\x01\"\\\x7f"), "\"\\u0001\\\"\\\\\x7f\"");
}

TEST(JsonString, BatchOutputForAFileNameThatIsNotUtf8) {
    std::random_device rd;
    const auto dir = std::filesystem::temp_directory_path() / ("umbrix_json_" + std::to_string(rd()));
    std::filesystem::create_directories(dir);
    const auto path = dir / "night\xff.csv";
    std::ofstream(path) << "2454123.50,12.0\n2454123.51,12.5\n2454123.52,12.1\n";
    std::ostringstream out, err;
    const int status = RunBatch({"--batch", path.string(), "--format", "json", "--method", "sliding"}, out, err);
    std::filesystem::remove_all(dir);
    ASSERT_EQ(status, 0) << err.str();
    EXPECT_NE(out.str().find("\"file\": \"night\\ufffd.csv\""), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find('\xff'), std::string::npos);
}

}  // namespace
}  // namespace umbrix
