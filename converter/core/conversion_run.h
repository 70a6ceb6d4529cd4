#pragma once
// The conversion run: an observation log in, the converted files out.
//
// Each log line is taken apart (log_record.h), its star name normalised, its coordinates
// looked up in "star.dat" when automatic search is on, and its Heliocentric Julian Date
// computed. Written into the working directory, each replacing the previous run's:
//   SDATA2.CSV     one comma-separated line per converted record
//   SDATA2.2       the same in fixed columns
//   err.txt        lines that were not converted (star not in the catalogue, or unreadable)
//   AVE_DAT1.djm   "HJD  mag"
//   umbrix25.txt   "HJD,mag", the light-curve input of the timing program, in the log's order
//   umbrix25_STAR.txt  the same lines for one star, sorted by time (PerStarFileName)
//   cyclocode.dat  "HJD  mag 0"
// and beside the log: the rewritten log (normalised names) replaces the log, whose previous
// content is kept as the backup NAME_old.EXT.
//
// The user's log is never at risk: the outputs, a copy of the log as read (the new backup)
// and the rewritten log are all written whole to temporary files first; only when all are
// on the disk are they renamed into place, the log last. Killed at any moment,
// the log is either the original, or the complete rewrite with the original as its backup;
// a run that fails before the renames leaves every file as it was and says which file failed
// and why.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "converter/core/catalogue.h"
#include "converter/core/file_access.h"
#include "converter/core/julian.h"
#include "converter/core/log_record.h"

namespace hjdprep {

// Everything the start button takes from the window.
struct RunSettings {
    std::string StdFileName;  // the log, as typed; relative to directory
    TimeZone zone = TimeZone::UT;
    CoordinateTexts coordinates{"00", "00", "00", "+00", "00"};  // Text2 .. Text6
    bool autoSearch = false;                                     // Check1
    AliasList aliases;
    std::filesystem::path directory = ".";  // "star.dat" and the output files
    // Records of the per-star light curves sorted in memory at once (24 bytes each); a longer
    // log sorts them in runs of this many through a scratch file, so that the memory a run
    // needs does not grow with the log.
    std::size_t sortInMemory = std::size_t{1} << 18;
};

// Names of the rewritten log and of the backup (the run itself writes the rewritten log
// under a temporary name, so only the backup name appears on disk). The last "." of the file name (not of a
// folder in the path) decides: "a.b.std" gives "a.b_new.std" and "a.b_old.std"; only the
// dot and the three bytes after it are kept as extension. A name without "." gives
// "NAME_new" and "NAME_old".
struct BackupNames {
    std::string newName;
    std::string oldName;
};
BackupNames MakeBackupNames(const std::string& logName);

// The name of one star's light curve: "umbrix25_" + the name without blanks + ".txt", every
// byte other than letters, digits and "-_.+" replaced by "_" ("CAS RZ" gives
// "umbrix25_CASRZ.txt", "V1/SGR" gives "umbrix25_V1_SGR.txt").
std::string PerStarFileName(std::string_view name);

struct RunResult {
    bool ok = false;
    std::string message;  // why the run stopped; empty when ok
    std::size_t lines = 0;      // log lines read
    std::size_t converted = 0;  // records written to the converted files
    std::size_t notFound = 0;   // records whose star is not in the catalogue
    std::size_t refused = 0;    // lines that could not be read as a record
    std::size_t perStarFiles = 0;  // light curves written, one per star converted
    // The last star the automatic search found (the window shows it afterwards), and the
    // coordinates the last record was computed with.
    std::optional<CatalogueStar> lastFound;
    StarCoordinates coordinates;
};

// What a finished run did, as the end message and the command line say it after "END":
// "5 records converted, 3 lines written to err.txt" (singular for one).
std::string RunSummary(const RunResult& result);

// Called once per log line before it is converted: index from 0, number of lines, the line.
using ProgressFunction = std::function<void(std::size_t index, std::size_t total, const std::string& line)>;

// Called when the automatic search finds a star the run had not been using: its coordinates
// are in force from this record on (the window shows each star as it comes).
using StarFoundFunction = std::function<void(const CatalogueStar& star)>;

RunResult RunConversion(const RunSettings& settings, FileAccess& files,
                        const ProgressFunction& progress = {},
                        const StarFoundFunction& starFound = {});

}  // namespace hjdprep
