#pragma once
// One record of an observation log in the "std" format, and the lines the converter writes
// for it.
//
//   CASRZ 20070105213045 10.52V ABC remarks
//   ^name ^yyyymmddhhmmss ^magnitude, band, then a blank and the three-character code
//
// Positions count bytes from the first blank b that ends the name: year b+1..b+4, month,
// day, hour, minute and second two bytes each (a blank at b+13 means 0 seconds). The
// magnitude starts after the next blank and runs over 0-9, "-" and "."; the band text runs
// from there to the next blank; the code is the three bytes after that blank.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "converter/core/julian.h"

namespace hjdprep {

// Star names are 20 bytes, blank-padded, throughout the converter.
inline constexpr std::size_t kNameWidth = 20;

// One line of "Alias.txt": the name as written in logs (bytes 1-20) and the name to use
// instead (bytes 25-44), both blank-padded to 20.
struct Alias {
    std::string AliasFrom;
    std::string AliasTo;
};
using AliasList = std::vector<Alias>;

// Reads the alias list from the text of "Alias.txt". Lines whose "from" or "to" name is
// blank are skipped: applying them would blank out a star name. There is no limit on the
// number of lines.
AliasList ParseAliasList(std::string_view text);

// A log designation "CASV0455" is written "CASV455" everywhere else: when bytes 4-5 of the
// 20-byte name are "V0", byte 5 is dropped and a blank appended.
std::string DropVariableZero(std::string name20);

// A log line taken apart. When ok is false the line cannot be converted and why says so;
// the other fields are then meaningless.
struct LogRecord {
    bool ok = false;
    std::string why;
    std::string name;       // 20 bytes after alias and "V0" rewriting
    std::string rewritten;  // the line as the rewritten log holds it
    ObservationTime time;
    double magnitude = 0;
    std::string band;  // empty for a visual estimate
    std::string code;  // up to three bytes
};

// Splits a log line (without its line end). Refused: no blank, an empty name, a name of 20
// bytes or more (or an alias giving one) which would leave no blank to end it, a date or
// time field that is not digits, a missing or malformed magnitude.
LogRecord ParseLogLine(std::string_view line, const AliasList& aliases);

// magnitude x 1000 rounded to the nearest whole number, ties to even (10.52 -> 10520).
double MagnitudeMilli(double magnitude);

// A whole number of milli-magnitudes with at least five digits after an optional minus
// sign: 10520 -> "10520", -1200 -> "-01200".
std::string MagnitudeMilliText(double milli);

// The HJD as the converted files hold it: HJD - 2000000 with six integer digits and four
// decimals ("454106.3949").
std::string HjdFieldText(double hjd);

// The same value without leading zeros, as "AVE_DAT1.djm" and "cyclocode.dat" hold it.
std::string HjdPlainText(double hjd);

// HJD - 2000000 without leading zeros and with six decimals (0.09 s), as the light curve
// "umbrix25.txt" holds it: a good CCD timing is better than the
// 8.6 s step of four decimals. The other files keep four, as the programs reading them expect.
std::string HjdLightCurveText(double hjd);

// magnitude text of the light-curve files: G / 1000 as "00.000" ("10.520", "-01.200").
std::string MagnitudePlainText(double milli);

// The texts of a converted record that several output files share, formatted once.
struct RecordTexts {
    std::string date;            // yyyymmdd
    std::string time;            // hhmmss
    std::string milli;           // MagnitudeMilliText
    std::string hjdField;        // HjdFieldText
    std::string hjdPlain;        // HjdPlainText
    std::string hjdLightCurve;   // HjdLightCurveText
    std::string magnitudePlain;  // MagnitudePlainText
};
RecordTexts FormatRecord(const LogRecord& record, double hjd);

// The "SDATA2.CSV" and "SDATA2.2" lines of a converted record (without line end).
std::string CsvLine(const LogRecord& record, const RecordTexts& texts);
std::string FixedColumnsLine(const LogRecord& record, const RecordTexts& texts);
inline std::string CsvLine(const LogRecord& record, double hjd) { return CsvLine(record, FormatRecord(record, hjd)); }
inline std::string FixedColumnsLine(const LogRecord& record, double hjd) {
    return FixedColumnsLine(record, FormatRecord(record, hjd));
}

}  // namespace hjdprep
