#include "converter/core/log_record.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "converter/core/text_fields.h"

namespace hjdprep {

namespace {

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// Bytes [offset, offset + count) of line, clipped to its end.
std::string_view Field(std::string_view line, std::size_t offset, std::size_t count) {
    if (offset >= line.size()) return {};
    return line.substr(offset, count);
}

bool IsMagnitudeChar(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '.'; }

// A magnitude run is a number only as "-" digits "." digits, with at least one digit.
bool IsPlainNumber(std::string_view run) {
    std::size_t i = 0;
    if (i < run.size() && run[i] == '-') ++i;
    bool digit = false, point = false;
    for (; i < run.size(); ++i) {
        if (run[i] >= '0' && run[i] <= '9') {
            digit = true;
        } else if (run[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

// value with `decimals` decimals, zero-padded after any sign to at least width bytes: printf's
// "%0*.*f", which it matches byte for byte (both round the exact binary value, ties to even),
// at a fraction of the cost; a million records format seven numbers each.
std::string Fixed(double value, int decimals, int width = 0) {
    char buf[400];
    if (!std::isfinite(value)) {
        std::snprintf(buf, sizeof buf, "%0*.*f", width, decimals, value);
        return buf;
    }
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    std::string text(buf, r.ptr);
    if (text.size() < static_cast<std::size_t>(width))
        text.insert(text[0] == '-' ? 1 : 0, static_cast<std::size_t>(width) - text.size(), '0');
    return text;
}

LogRecord Refuse(std::string why) {
    LogRecord r;
    r.why = std::move(why);
    return r;
}

// A date or time field, zero-padded to width digits. The fields hold digits only, so the
// values are small whole numbers and need no general number formatting.
std::string Digits(double value, int width) {
    std::string out(static_cast<std::size_t>(width), '0');
    if (!(value >= 0 && value < 1e9) || value != std::floor(value)) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "%0*.0f", width, value);
        return buf;
    }
    long long n = static_cast<long long>(value);
    for (std::size_t i = out.size(); i-- > 0 && n > 0; n /= 10) out[i] = static_cast<char>('0' + n % 10);
    if (n > 0) out.insert(0, std::to_string(n));
    return out;
}

}  // namespace

AliasList ParseAliasList(std::string_view text) {
    AliasList list;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        Alias alias{FitWidth(Mid(line, 1, kNameWidth), kNameWidth),
                    FitWidth(Mid(line, 25, kNameWidth), kNameWidth)};
        if (TrimBlanks(alias.AliasFrom).empty() || TrimBlanks(alias.AliasTo).empty()) continue;
        list.push_back(std::move(alias));
    }
    return list;
}

std::string DropVariableZero(std::string name20) {
    name20 = FitWidth(name20, kNameWidth);
    if (name20[3] == 'V' && name20[4] == '0') {
        name20.erase(4, 1);
        name20.push_back(' ');
    }
    return name20;
}

LogRecord ParseLogLine(std::string_view line, const AliasList& aliases) {
    const std::size_t b = line.find(' ');  // 0-based index of the blank that ends the name
    if (b == std::string_view::npos) return Refuse("no blank after the star name");
    if (b == 0) return Refuse("empty star name");
    if (b >= kNameWidth) return Refuse("star name of 20 or more characters");

    LogRecord r;
    r.name = FitWidth(line.substr(0, b), kNameWidth);
    for (const Alias& alias : aliases) {
        if (alias.AliasFrom == r.name) {
            r.name = alias.AliasTo;
            break;
        }
    }
    r.name = DropVariableZero(std::move(r.name));
    const std::size_t nameEnd = r.name.find(' ');
    if (nameEnd == std::string::npos) return Refuse("alias gives a star name of 20 characters");
    r.rewritten = r.name.substr(0, nameEnd);
    r.rewritten += line.substr(b);

    const std::string_view year = Field(line, b + 1, 4), month = Field(line, b + 5, 2),
                           day = Field(line, b + 7, 2), hour = Field(line, b + 9, 2),
                           minute = Field(line, b + 11, 2);
    if (year.size() != 4 || !AllDigits(year) || month.size() != 2 || !AllDigits(month) ||
        day.size() != 2 || !AllDigits(day))
        return Refuse("date is not yyyymmdd");
    if (hour.size() != 2 || !AllDigits(hour) || minute.size() != 2 || !AllDigits(minute))
        return Refuse("time is not hhmm[ss]");
    r.time.ObsYear = LeadingNumber(year);
    r.time.ObsMonth = LeadingNumber(month);
    r.time.ObsDay = LeadingNumber(day);
    r.time.ObsHour = LeadingNumber(hour);
    r.time.ObsMinute = LeadingNumber(minute);
    if (b + 13 < line.size() && line[b + 13] != ' ') {
        const std::string_view second = Field(line, b + 13, 2);
        if (second.size() != 2 || !AllDigits(second)) return Refuse("seconds are not a number");
        r.time.ObsSecond = LeadingNumber(second);
    }

    const std::size_t blank = line.find(' ', b + 1);
    if (blank == std::string_view::npos) return Refuse("no magnitude");
    std::size_t end = blank + 1;
    while (end < line.size() && IsMagnitudeChar(line[end])) ++end;
    const std::string_view run = line.substr(blank + 1, end - blank - 1);
    if (run.empty()) return Refuse("no magnitude");
    if (!IsPlainNumber(run)) return Refuse("magnitude is not a number");
    r.magnitude = std::strtod(std::string(run).c_str(), nullptr);
    if (!std::isfinite(r.magnitude)) return Refuse("magnitude is not a number");
    // The files hold the magnitude in thousandths; one that overflows there would be written
    // as "inf", which no reader of the files takes for a number.
    if (!std::isfinite(MagnitudeMilli(r.magnitude))) return Refuse("magnitude is too large");

    if (end < line.size()) {
        const std::size_t bandEnd = line.find(' ', end);
        r.band = std::string(line.substr(end, bandEnd == std::string_view::npos ? line.npos : bandEnd - end));
        if (bandEnd != std::string_view::npos) r.code = std::string(Field(line, bandEnd + 1, 3));
    }
    r.ok = true;
    return r;
}

double MagnitudeMilli(double magnitude) { return std::nearbyint(magnitude * 1000.0); }

namespace {

// A whole number of thousandths that fits the integer path below: every milli-magnitude a
// real log gives.
bool SmallWhole(double milli) { return std::fabs(milli) < 1e12 && milli == std::floor(milli); }

// n >= 0 as decimal digits, zero-padded to at least width.
void AppendDigits(std::string& out, long long n, std::size_t width) {
    char buf[24];
    char* end = buf + sizeof buf;
    char* p = end;
    do {
        *--p = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n > 0);
    for (std::size_t size = static_cast<std::size_t>(end - p); size < width; ++size) out += '0';
    out.append(p, end);
}

}  // namespace

std::string MagnitudeMilliText(double milli) {
    std::string out = std::signbit(milli) && milli != 0 ? "-" : "";
    if (!SmallWhole(milli)) return out + Fixed(std::fabs(milli), 0, 5);
    AppendDigits(out, static_cast<long long>(std::fabs(milli)), 5);
    return out;
}

std::string HjdFieldText(double hjd) { return Fixed(hjd - 2000000.0, 4, 11); }

std::string HjdPlainText(double hjd) { return Fixed(hjd - 2000000.0, 4); }

std::string HjdLightCurveText(double hjd) { return Fixed(hjd - 2000000.0, 6); }

std::string MagnitudePlainText(double milli) {
    std::string out = std::signbit(milli) && milli != 0 ? "-" : "";
    if (!SmallWhole(milli)) return out + Fixed(std::fabs(milli) / 1000.0, 3, 6);
    // n / 1000 to three decimals is n's own digits with the point put in: the double nearest
    // n / 1000 lies far closer than half a thousandth to it.
    const auto n = static_cast<long long>(std::fabs(milli));
    AppendDigits(out, n / 1000, 2);
    out += '.';
    AppendDigits(out, n % 1000, 3);
    return out;
}

RecordTexts FormatRecord(const LogRecord& r, double hjd) {
    const double milli = MagnitudeMilli(r.magnitude);
    RecordTexts t;
    t.date = Digits(r.time.ObsYear, 4) + Digits(r.time.ObsMonth, 2) + Digits(r.time.ObsDay, 2);
    t.time = Digits(r.time.ObsHour, 2) + Digits(r.time.ObsMinute, 2) + Digits(r.time.ObsSecond, 2);
    t.milli = MagnitudeMilliText(milli);
    t.hjdField = HjdFieldText(hjd);
    // The same digits without the padding zeros (a negative value has none to drop).
    const std::size_t digits = t.hjdField.find_first_not_of('0');
    t.hjdPlain = t.hjdField[0] == '-' || !std::isfinite(hjd) ? HjdPlainText(hjd)
                                      : t.hjdField.substr(t.hjdField[digits] == '.' ? digits - 1 : digits);
    t.hjdLightCurve = HjdLightCurveText(hjd);
    t.magnitudePlain = MagnitudePlainText(milli);
    return t;
}

std::string CsvLine(const LogRecord& r, const RecordTexts& t) {
    std::string out;
    out.reserve(96);
    out.append(t.date).append(",").append(r.code).append(",").append(t.time).append(",");
    out.append(TrimRight(r.name)).append(",");
    if (r.band.empty()) {
        out.append("visual mgnitude,visual mgnitude,");
    } else {
        out.append(r.band).append(" magnitude,CCD(").append(r.band).append("),");
    }
    out.append(t.milli).append(",").append(t.hjdField);
    return out;
}

std::string FixedColumnsLine(const LogRecord& r, const RecordTexts& t) {
    // The code is padded so that a short code does not shift the columns after it.
    std::string out;
    out.reserve(112);
    out.append(t.date).append(FitWidth(r.code, 3)).append(7, ' ').append(t.time).append(FitWidth(r.name, kNameWidth));
    if (r.band.empty()) {
        out.append("visual         visual   ");
    } else {
        const std::string_view extra = r.band.size() == 1 ? " " : "";
        out.append(r.band).append(" magnitude   ").append(extra).append("CCD(").append(r.band).append(")  ").append(extra);
    }
    out.append(t.milli).append(" ").append(t.hjdField);
    return out;
}

}  // namespace hjdprep
