#include "converter/core/command_line.h"

#include <algorithm>
#include <ostream>

#include "common/toolkit_options.h"
#include "converter/core/text_fields.h"

namespace hjdprep {

namespace {

constexpr const char* kUsage =
    "usage: hjdprep --convert LOG [--jst] [--ra HH:MM:SS] [--dec [+|-]DD:MM] [--auto-search]\n"
    "                      no window: converts LOG in the current directory\n"
    "       hjdprep        the converter's window\n"
    "       hjdprep --help | --version";

bool IsHelp(const std::string& a) { return a == "--help" || a == "-h" || a == "-?"; }
constexpr std::size_t kProgressEvery = 1000;

bool IsNumberText(std::string_view text, bool allowFraction) {
    if (text.empty()) return false;
    bool digit = false, point = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && allowFraction && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

// Splits "a:b:c" at its colons.
std::vector<std::string> SplitColons(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = text.find(':', start);
        parts.push_back(text.substr(start, colon - start));
        if (colon == std::string::npos) return parts;
        start = colon + 1;
    }
}

}  // namespace

bool IsCommandLineRequest(const std::vector<std::string>& args) {
    // hjdprep's own options ask for it, and so does an option it does not know (so that a
    // mistyped one is answered on the terminal); Qt's (-platform, -style, -geometry ...) and a
    // file a desktop launcher adds belong to the window.
    for (const std::string& a : args)
        if (IsHelp(a) || (a.rfind("--", 0) == 0 && !toolkit::IsToolkitOption(a))) return true;
    return false;
}

std::optional<RunSettings> ParseCommandLine(const std::vector<std::string>& args, std::string& error) {
    RunSettings s;
    bool haveLog = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--convert" && hasValue && !haveLog) {
            s.StdFileName = args[++i];
            haveLog = !s.StdFileName.empty();
            if (!haveLog) break;
        } else if (a == "--jst") {
            s.zone = TimeZone::JST;
        } else if (a == "--auto-search") {
            s.autoSearch = true;
        } else if (a == "--ra" && hasValue) {
            const std::vector<std::string> p = SplitColons(args[++i]);
            if (p.size() != 3 || !IsNumberText(p[0], false) || !IsNumberText(p[1], false) ||
                !IsNumberText(p[2], true)) {
                error = "--ra wants HH:MM:SS, got \"" + args[i] + "\"";
                return std::nullopt;
            }
            s.coordinates.RaHour = p[0];
            s.coordinates.RaMinute = p[1];
            s.coordinates.RaSecond = p[2];
        } else if (a == "--dec" && hasValue) {
            std::string text = args[++i];
            std::string sign = "+";
            if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
                sign = text.substr(0, 1);
                text.erase(0, 1);
            }
            const std::vector<std::string> p = SplitColons(text);
            if (p.size() != 2 || !IsNumberText(p[0], false) || !IsNumberText(p[1], true)) {
                error = "--dec wants [+|-]DD:MM, got \"" + args[i] + "\"";
                return std::nullopt;
            }
            s.coordinates.DecDegree = sign + p[0];
            s.coordinates.DecMinute = p[1];
        } else {
            error = "unknown or incomplete option \"" + a + "\"";
            return std::nullopt;
        }
    }
    if (!haveLog) {
        error = "no log given (--convert LOG)";
        return std::nullopt;
    }
    if (const std::optional<CoordinateProblem> p = CheckCoordinates(s.coordinates)) {
        const bool ra = p->box == CoordinateBox::RaHour || p->box == CoordinateBox::RaMinute ||
                        p->box == CoordinateBox::RaSecond;
        error = std::string(ra ? "--ra" : "--dec") + ": " + CoordinateName(p->box) + " \"" + p->value +
                "\" is outside " + p->range + "; nothing was written";
        return std::nullopt;
    }
    return s;
}

int RunCommandLine(const std::vector<std::string>& args, const std::filesystem::path& directory,
                   std::ostream& out, std::ostream& err) {
    if (std::any_of(args.begin(), args.end(), IsHelp)) {
        out << kUsage << "\n";
        return 0;
    }
    if (std::find(args.begin(), args.end(), "--version") != args.end()) {
        out << "hjdprep 2.3\n";
        return 0;
    }
    std::string error;
    std::optional<RunSettings> settings = ParseCommandLine(args, error);
    if (!settings) {
        err << "hjdprep: " << error << "\n" << kUsage << "\n";
        return 2;
    }
    settings->directory = directory;

    DiskFiles files;
    const std::filesystem::path logPath = directory / settings->StdFileName;
    if (!files.OpenForReading(logPath)) {
        err << "hjdprep: cannot read the log " << logPath.string() << "\n";
        return 2;
    }
    if (settings->autoSearch && !files.Read(directory / "star.dat")) {
        err << "hjdprep: --auto-search needs star.dat in " << directory.string() << "\n";
        return 2;
    }
    if (const std::optional<std::string> aliases = files.Read(directory / "Alias.txt"))
        settings->aliases = ParseAliasList(*aliases);

    const RunResult result = RunConversion(*settings, files, [&](std::size_t index, std::size_t total, const std::string&) {
        if (index > 0 && index % kProgressEvery == 0) err << "hjdprep: " << index << " of " << total << " records\n";
    });
    if (!result.ok) {
        err << "hjdprep: " << result.message << "\n";
        return 1;
    }
    out << "END\n" << RunSummary(result) << "\n";
    return 0;
}

}  // namespace hjdprep
