// Alias.txt. Every alias read is two 20-byte names, neither blank, taken from bytes 1-20 and
// 25-44 of a line in file order; and a log line naming an alias's first name is converted
// under its second (with the "V0" rule applied after), the first alias of a name winning.

#include "converter/core/log_record.h"
#include "converter/core/text_fields.h"
#include "fuzz/check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::AsText(data, size);
    const hjdprep::AliasList aliases = hjdprep::ParseAliasList(text);

    const std::vector<std::string_view> lines = fuzz::Lines(text);
    std::size_t next = 0;
    for (const std::string_view line : lines) {
        if (next < aliases.size() &&
            aliases[next].AliasFrom == hjdprep::FitWidth(hjdprep::Mid(line, 1, 20), 20) &&
            aliases[next].AliasTo == hjdprep::FitWidth(hjdprep::Mid(line, 25, 20), 20))
            ++next;
    }
    FUZZ_CHECK(next == aliases.size());  // every alias came from its own line, in order
    FUZZ_CHECK(aliases.size() <= lines.size());

    for (const hjdprep::Alias& a : aliases) {
        FUZZ_CHECK(a.AliasFrom.size() == 20 && a.AliasTo.size() == 20);
        FUZZ_CHECK(!hjdprep::TrimBlanks(a.AliasFrom).empty() && !hjdprep::TrimBlanks(a.AliasTo).empty());
    }
    if (aliases.empty()) return 0;
    // The log spells the name up to its first blank; only a name without blanks inside can
    // be matched from a log line.
    const std::string& from = aliases.front().AliasFrom;
    const std::string_view logName = hjdprep::TrimRight(from);
    if (logName.find(' ') != std::string_view::npos || logName.empty() || logName.size() >= 20) return 0;
    const hjdprep::LogRecord r =
        hjdprep::ParseLogLine(std::string(logName) + " 20070105213045 10.52V ABC remarks", aliases);
    std::string expected = hjdprep::DropVariableZero(aliases.front().AliasTo);
    if (expected.find(' ') == std::string::npos) {
        FUZZ_CHECK(!r.ok);  // a 20-byte name leaves no blank to end it: refused
    } else {
        FUZZ_CHECK(r.ok);
        FUZZ_CHECK(r.name == expected);
    }
    return 0;
}
