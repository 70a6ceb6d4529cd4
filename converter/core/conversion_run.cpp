#include "converter/core/conversion_run.h"

#include <string_view>
#include <system_error>
#include <vector>

namespace hjdprep {

namespace {

namespace fs = std::filesystem;

// A log line and the line end it had ("\r\n", "\n", or none at the end of the file), so that
// the rewritten log keeps the log's own line ends.
struct LogLine {
    std::string text;
    std::string_view ending;
};

std::vector<LogLine> SplitLines(const std::string& text) {
    std::vector<LogLine> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        LogLine line;
        if (end == std::string::npos) {
            end = text.size();
        } else {
            line.ending = "\n";
        }
        line.text = text.substr(start, end - start);
        if (!line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
            line.ending = line.ending.empty() ? "\r" : "\r\n";
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

RunResult Stop(RunResult result, std::string message) {
    result.ok = false;
    result.message = std::move(message);
    return result;
}

// A message of the file writer as the start of a sentence: "Cannot write x: why. ".
std::string Sentence(std::string error) {
    if (!error.empty() && error[0] >= 'a' && error[0] <= 'z') error[0] = static_cast<char>(error[0] - 'a' + 'A');
    return error + ". ";
}

// Two names of the same file, even when written differently ("./x" and "x").
bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ecA, ecB;
    const fs::path ca = fs::weakly_canonical(a, ecA), cb = fs::weakly_canonical(b, ecB);
    if (ecA || ecB) return a.lexically_normal() == b.lexically_normal();
    return ca == cb;
}

}  // namespace

BackupNames MakeBackupNames(const std::string& logName) {
    const std::size_t slash = logName.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = logName.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart) return {logName + "_new", logName + "_old"};
    const std::string before = logName.substr(0, dot);
    const std::string extension = logName.substr(dot, 4);
    return {before + "_new" + extension, before + "_old" + extension};
}

std::string RunSummary(const RunResult& result) {
    const std::size_t errLines = result.notFound + result.refused;
    std::string text = std::to_string(result.converted);
    text += result.converted == 1 ? " record converted, " : " records converted, ";
    text += std::to_string(errLines);
    text += errLines == 1 ? " line written to err.txt" : " lines written to err.txt";
    return text;
}

RunResult RunConversion(const RunSettings& settings, FileAccess& files, const ProgressFunction& progress,
                        const StarFoundFunction& starFound) {
    RunResult result;
    // The coordinates from the boxes are in force from the start, even for a run that stops.
    StarCoordinates star = CoordinatesFromTexts(settings.coordinates);
    result.coordinates = star;
    const std::string untouched = "The log was not changed.";
    if (settings.StdFileName.empty()) return Stop(result, "No std file given. " + untouched);
    if (const std::optional<CoordinateProblem> p = CheckCoordinates(settings.coordinates)) {
        std::string what = CoordinateName(p->box);
        what[0] = static_cast<char>(what[0] - 'a' + 'A');
        return Stop(result, what.append(" \"").append(p->value).append("\" is outside ").append(p->range)
                                .append(". Nothing was written."));
    }

    const fs::path logPath = settings.directory / settings.StdFileName;
    const BackupNames names = MakeBackupNames(settings.StdFileName);
    const fs::path oldPath = settings.directory / names.oldName;
    const fs::path out[] = {settings.directory / "SDATA2.CSV",   settings.directory / "SDATA2.2",
                            settings.directory / "err.txt",      settings.directory / "AVE_DAT1.djm",
                            settings.directory / "umbrix25.txt", settings.directory / "cyclocode.dat"};
    for (const fs::path& p : out) {
        if (SameFile(p, logPath))
            return Stop(result, "The std file " + settings.StdFileName +
                                    " has the name of an output file and would be overwritten. " + untouched);
    }

    const std::optional<std::string> logText = files.Read(logPath);
    if (!logText) return Stop(result, "Cannot read the std file " + logPath.string() + ". Nothing was written.");

    std::optional<Catalogue> catalogue;
    if (settings.autoSearch) {
        const std::optional<std::string> catalogueText = files.Read(settings.directory / "star.dat");
        if (!catalogueText)
            return Stop(result, "Cannot read star.dat in " + settings.directory.string() +
                                    ": automatic search needs it. Nothing was written.");
        catalogue.emplace(*catalogueText);
    }

    std::string previousLookedUp;  // the name of the star whose coordinates are in use
    const CatalogueStar* lastFound = nullptr;
    const std::vector<LogLine> lines = SplitLines(*logText);
    result.lines = lines.size();

    std::string newLog, csv, fixed, err, ave, umbrix, cyclo;
    newLog.reserve(logText->size() + 64);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i].text;
        if (progress) progress(i, lines.size(), line);

        if (line.empty()) {  // an empty line is no record and no error either
            newLog += lines[i].ending;
            continue;
        }
        const LogRecord record = ParseLogLine(line, settings.aliases);
        if (!record.ok) {
            // Kept as it was in the log, listed in err.txt, left out of the converted files.
            newLog += line;
            newLog += lines[i].ending;
            err += line + "\n";
            ++result.refused;
            continue;
        }
        newLog += record.rewritten;
        newLog += lines[i].ending;

        if (catalogue && record.name != previousLookedUp) {
            const CatalogueStar* found = catalogue->Find(record.name);
            if (!found) {
                err += line + "\n";
                ++result.notFound;
                continue;
            }
            previousLookedUp = record.name;
            lastFound = found;
            star = found->coordinates;
            if (starFound) starFound(*found);
        }

        const double hjd = jd_hosei(jd_sub(record.time, settings.zone), star);
        const RecordTexts texts = FormatRecord(record, hjd);
        (csv += CsvLine(record, texts)) += '\n';
        (fixed += FixedColumnsLine(record, texts)) += '\n';
        // HJD without leading zeros and magnitude: 4 decimals of HJD where the first pass's
        // files have them, 6 in the light curve; whole milli-magnitudes everywhere.
        const std::string& h = texts.hjdPlain;
        const std::string& m = texts.magnitudePlain;
        ave.append(h).append("  ").append(m).append("\n");
        umbrix.append(texts.hjdLightCurve).append(",").append(m).append("\n");
        cyclo.append(h).append("  ").append(m).append(" 0\n");
        ++result.converted;
    }
    result.coordinates = star;
    if (lastFound) result.lastFound = *lastFound;

    // Every file is first written whole under a temporary name and flushed to the disk;
    // nothing the user has is replaced until all eight are there. The backup is a copy of
    // the log as read, in place before the log is replaced: a crash at any moment leaves
    // either the original log, or the rewritten log with the original as its backup.
    const std::string* contents[] = {&csv, &fixed, &err, &ave, &umbrix, &cyclo};
    constexpr std::size_t kOutputs = std::size(out);
    std::vector<std::pair<fs::path, const std::string*>> targets;
    for (std::size_t k = 0; k < kOutputs; ++k) targets.emplace_back(out[k], contents[k]);
    targets.emplace_back(oldPath, &*logText);
    targets.emplace_back(logPath, &newLog);

    std::vector<StagedFile> staged(targets.size());
    const auto discardFrom = [&](std::size_t first) {
        for (std::size_t k = first; k < staged.size(); ++k) files.Discard(staged[k]);
    };
    const std::string nothingChanged = "The log and the previous output files were not changed.";
    for (std::size_t k = 0; k < targets.size(); ++k) {
        const std::string error = files.Stage(targets[k].first, *targets[k].second, staged[k]);
        if (!error.empty()) {
            discardFrom(0);
            return Stop(result, Sentence(error) + nothingChanged);
        }
    }
    for (std::size_t k = 0; k < targets.size(); ++k) {
        const std::string error = files.Commit(staged[k]);
        if (error.empty()) continue;
        discardFrom(k + 1);
        // A rename within one folder practically never fails once the data are written;
        // when it does, say exactly which files are new.
        std::string state;
        if (k == 0) {
            state = nothingChanged;
        } else if (k < kOutputs) {
            state = "The log was not changed; already replaced:";
            for (std::size_t j = 0; j < k; ++j) state += (j ? ", " : " ") + out[j].filename().string();
            state += ".";
        } else if (k == kOutputs) {
            state = "The log was not changed; the output files were replaced.";
        } else {
            state = "The log was not changed; the output files were replaced and " + oldPath.string() +
                    " holds a copy of the log.";
        }
        return Stop(result, Sentence(error) + state);
    }
    result.ok = true;
    return result;
}

}  // namespace hjdprep
