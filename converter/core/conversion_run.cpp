#include "converter/core/conversion_run.h"
#include "converter/core/point_sorter.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdint>
#include <istream>
#include <memory>
#include <queue>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "converter/core/text_fields.h"

namespace hjdprep {

namespace {

namespace fs = std::filesystem;

// Reads the log one line at a time, each with the line end it had ("\r\n", "\n", "\r" before
// the end of the file, or none), so that the rewritten log keeps the log's own line ends
// and the backup is the log byte for byte.
class LineReader {
public:
    explicit LineReader(std::istream& in) : in_(in) {}
    // The next line into text and ending; false at the end of the file.
    bool Next(std::string& text, std::string_view& ending) {
        if (!std::getline(in_, text)) return false;
        const bool newline = !in_.eof();
        ending = newline ? "\n" : "";
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
            ending = newline ? "\r\n" : "\r";
        }
        return true;
    }
    bool failed() const { return in_.bad(); }

private:
    std::istream& in_;
};

// Lines of the log (a last line without a line end counts), read in blocks: the progress
// display wants the total before the run.
std::size_t CountLines(std::istream& in) {
    std::vector<char> block(1 << 16);
    std::size_t lines = 0;
    char last = '\n';
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        const auto n = static_cast<std::size_t>(in.gcount());
        if (n == 0) break;
        lines += static_cast<std::size_t>(std::count(block.data(), block.data() + n, '\n'));
        last = block[n - 1];
    }
    return lines + (last != '\n');
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

// Up to this many per-star light curves are flushed one by one; beyond, all at once.
constexpr std::size_t kFlushEachUpTo = 16;

// The file name of each star's light curve, in the order the stars first appear; two names
// that come out alike after the unsafe bytes are replaced ("A/B", "A_B") get "_2", "_3" ...
// so that no light curve ever mixes two stars.
std::vector<std::string> PerStarFileNames(const std::vector<std::string>& stars) {
    std::vector<std::string> names;
    std::unordered_set<std::string> taken;
    for (const std::string& star : stars) {
        const std::string base = PerStarFileName(star);
        std::string name = base;
        for (int k = 2; !taken.insert(name).second; ++k)
            name = base.substr(0, base.size() - 4) + "_" + std::to_string(k) + ".txt";
        names.push_back(std::move(name));
    }
    return names;
}

}  // namespace

std::string PerStarFileName(std::string_view name) {
    std::string safe;
    for (const char c : name) {
        if (c == ' ' || c == '\t') continue;
        const bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                          c == '_' || c == '.' || c == '+';
        safe += keep ? c : '_';
    }
    if (safe.empty()) safe = "_";
    return "umbrix25_" + safe + ".txt";
}

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

    std::unique_ptr<std::istream> log = files.OpenForReading(logPath);
    if (!log) return Stop(result, "Cannot read the std file " + logPath.string() + ". Nothing was written.");
    const std::size_t total = CountLines(*log);
    log = files.OpenForReading(logPath);
    if (!log) return Stop(result, "Cannot read the std file " + logPath.string() + ". Nothing was written.");

    std::optional<Catalogue> catalogue;
    if (settings.autoSearch) {
        const std::optional<std::string> catalogueText = files.Read(settings.directory / "star.dat");
        if (!catalogueText)
            return Stop(result, "Cannot read star.dat in " + settings.directory.string() +
                                    ": automatic search needs it. Nothing was written.");
        catalogue.emplace(*catalogueText);
    }

    // Every file is written as the log is read, under a temporary name, and the records go
    // straight through: memory does not grow with the log (the per-star light curves are
    // sorted in bounded memory, see PointSorter). Nothing the user has is replaced
    // until every file is whole on the disk. The backup is a copy of the log as read, in
    // place before the log is replaced: a crash at any moment leaves either the original
    // log, or the rewritten log with the original as its backup.
    constexpr std::size_t kOutputs = std::size(out);
    constexpr std::size_t kBackup = kOutputs, kLog = kOutputs + 1;
    std::vector<fs::path> targets(std::begin(out), std::end(out));
    targets.push_back(oldPath);
    targets.push_back(logPath);
    std::vector<StagedStream> streams(targets.size());
    std::vector<StagedFile> staged;  // closed files in the order they are committed
    const auto discardAll = [&] {
        for (StagedStream& s : streams) files.Discard(s);
        for (StagedFile& f : staged) files.Discard(f);
    };
    const std::string nothingChanged = "The log and the previous output files were not changed.";
    for (std::size_t k = 0; k < targets.size(); ++k) {
        const std::string error = files.Open(targets[k], streams[k]);
        if (!error.empty()) {
            discardAll();
            return Stop(result, Sentence(error) + nothingChanged);
        }
    }
    StagedStream &csv = streams[0], &fixed = streams[1], &err = streams[2], &ave = streams[3], &umbrix = streams[4],
                 &cyclo = streams[5], &backup = streams[kBackup], &newLog = streams[kLog];

    std::string previousLookedUp;  // the name of the star whose coordinates are in use
    const CatalogueStar* lastFound = nullptr;
    std::vector<std::string> stars;  // names of the stars converted, in order of appearance
    std::unordered_map<std::string, std::uint32_t> starIndex;
    PointSorter points(settings.sortInMemory);
    std::string line, text;
    std::string_view ending;
    LineReader reader(*log);
    for (std::size_t i = 0; reader.Next(line, ending); ++i) {
        if (progress) progress(i, total, line);
        ++result.lines;
        files.Append(backup, line);
        files.Append(backup, ending);

        if (line.empty()) {  // an empty line is no record and no error either
            files.Append(newLog, ending);
            continue;
        }
        const LogRecord record = ParseLogLine(line, settings.aliases);
        if (!record.ok) {
            // Kept as it was in the log, listed in err.txt, left out of the converted files.
            files.Append(newLog, line);
            files.Append(newLog, ending);
            files.Append(err, line);
            files.Append(err, "\n");
            ++result.refused;
            continue;
        }
        files.Append(newLog, record.rewritten);
        files.Append(newLog, ending);

        if (catalogue && record.name != previousLookedUp) {
            const CatalogueStar* found = catalogue->Find(record.name);
            if (!found) {
                files.Append(err, line);
                files.Append(err, "\n");
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
        files.Append(csv, (text = CsvLine(record, texts)).append("\n"));
        files.Append(fixed, (text = FixedColumnsLine(record, texts)).append("\n"));
        // HJD without leading zeros and magnitude: 4 decimals of HJD where the first pass's
        // files have them, 6 in the light curves; whole milli-magnitudes everywhere.
        const std::string& h = texts.hjdPlain;
        const std::string& m = texts.magnitudePlain;
        files.Append(ave, text.assign(h).append("  ").append(m).append("\n"));
        files.Append(umbrix, text.assign(texts.hjdLightCurve).append(",").append(m).append("\n"));
        files.Append(cyclo, text.assign(h).append("  ").append(m).append(" 0\n"));
        const auto [entry, added] = starIndex.try_emplace(record.name, static_cast<std::uint32_t>(stars.size()));
        if (added) stars.push_back(record.name);
        points.Add({entry->second, hjd, MagnitudeMilli(record.magnitude)});
        ++result.converted;
    }
    result.coordinates = star;
    if (lastFound) result.lastFound = *lastFound;
    if (reader.failed()) {
        discardAll();
        return Stop(result, "Cannot read the std file " + logPath.string() + " to its end. " + nothingChanged);
    }
    starIndex.clear();

    // Every file reaches the disk before any rename. The large ones are flushed one by one
    // (their writing was started while the log was read); a run with many stars flushes its
    // light curves together by one flush of their file system, as thousands of small files
    // would otherwise cost an fsync each.
    const auto close = [&](std::size_t k, bool flush) {
        staged.emplace_back();
        return files.Close(streams[k], flush, staged.back());
    };
    for (std::size_t k = 0; k < kOutputs; ++k) {
        if (const std::string error = close(k, true); !error.empty()) {
            discardAll();
            return Stop(result, Sentence(error) + nothingChanged);
        }
    }

    // Each star's light curve, sorted by time (records at the same time keep the log's order).
    points.Finish();
    const std::vector<std::string> perStarNames = PerStarFileNames(stars);
    // Resolved once: a run may write thousands of light curves.
    std::error_code ec;
    const fs::path outputFolder = fs::weakly_canonical(settings.directory, ec);
    const fs::path logFull = fs::weakly_canonical(logPath, ec), oldFull = fs::weakly_canonical(oldPath, ec);
    const bool flushEach = stars.size() <= kFlushEachUpTo;
    std::vector<fs::path> perStarPaths;
    StarPoint point{};
    for (bool more = points.Next(point); more;) {
        const std::uint32_t s = point.star;
        const fs::path path = settings.directory / perStarNames[s];
        if (const fs::path full = outputFolder / perStarNames[s]; full == logFull || full == oldFull) {
            discardAll();
            return Stop(result, "The light curve of " + std::string(TrimRight(stars[s])) + ", " + path.string() +
                                    ", would overwrite the std file or its backup. " + nothingChanged);
        }
        StagedStream stream;
        std::string error = files.Open(path, stream);
        for (; error.empty() && more && point.star == s; more = points.Next(point)) {
            files.Append(stream, text.assign(HjdLightCurveText(point.hjd))
                                           .append(",")
                                           .append(MagnitudePlainText(point.milli))
                                           .append("\n"));
        }
        if (error.empty()) error = points.error();
        if (error.empty()) {
            staged.emplace_back();
            error = files.Close(stream, flushEach, staged.back());
        }
        if (!error.empty()) {
            files.Discard(stream);
            discardAll();
            return Stop(result, Sentence(error) + nothingChanged);
        }
        perStarPaths.push_back(path);
    }
    if (!points.error().empty()) {
        discardAll();
        return Stop(result, Sentence(points.error()) + nothingChanged);
    }
    result.perStarFiles = perStarPaths.size();

    if (!flushEach) {
        if (const std::string error = files.FlushFileSystem(settings.directory); !error.empty()) {
            discardAll();
            return Stop(result, Sentence(error) + nothingChanged);
        }
    }
    for (const std::size_t k : {kBackup, kLog}) {
        if (const std::string error = close(k, true); !error.empty()) {
            discardAll();
            return Stop(result, Sentence(error) + nothingChanged);
        }
    }

    // The renames: outputs, then the backup, the log last. A rename within one folder
    // practically never fails once the data are written; when it does, say exactly which
    // files are new.
    const std::size_t outputsEnd = staged.size() - 2;
    for (std::size_t k = 0; k < staged.size(); ++k) {
        // The last output's rename flushes the folder, so that every output is in place on
        // the disk before the backup and the log change.
        const bool flushFolder = k + 1 >= outputsEnd;
        const std::string error = files.Commit(staged[k], flushFolder);
        if (error.empty()) continue;
        for (std::size_t j = k + 1; j < staged.size(); ++j) files.Discard(staged[j]);
        std::string state;
        if (k == 0) {
            state = nothingChanged;
        } else if (k < outputsEnd) {
            state = "The log was not changed; already replaced:";
            for (std::size_t j = 0; j < k && j < kOutputs; ++j) state += (j ? ", " : " ") + out[j].filename().string();
            if (k > kOutputs) state += " and " + std::to_string(k - kOutputs) + " of the per-star light curves";
            state += ".";
        } else if (k == outputsEnd) {
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
