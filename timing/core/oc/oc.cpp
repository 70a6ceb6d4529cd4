#include "timing/core/oc/oc.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string_view>
#include <tuple>

#include "timing/core/data/format.h"

namespace umbrix {

namespace {

// The fields of one CSV line: commas separate, double quotes enclose (a doubled quote inside
// stands for one).
std::vector<std::string> CsvFields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

std::optional<double> Number(const std::string& text) {
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

}  // namespace

std::string MinimaTableHeader() { return "file,row,method,hjd,error,calibrated_error,refused\n"; }

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string MinimaTableLine(const std::string& file, const std::string& row, const std::string& method,
                            const std::string& hjd, const std::string& error,
                            const std::string& calibrated, const std::string& refused) {
    return CsvField(file) + "," + row + "," + method + "," + hjd + "," + error + "," + calibrated +
           "," + CsvField(refused) + "\n";
}

std::string AppendToMinimaLog(const std::string& path, const std::string& lines, WholeFileWriter write) {
    std::string log;
    if (std::ifstream in{path, std::ios::binary}) {
        log.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) return "cannot read " + path;
    }
    if (log.empty()) {
        log = MinimaTableHeader();
    } else {
        const std::string header = MinimaTableHeader();
        const std::string first = log.substr(0, log.find('\n') + 1);
        if (first != header && first != header.substr(0, header.size() - 1) + "\r\n")
            return path + " is not a minima log (its first line is not " +
                   header.substr(0, header.size() - 1) + "); nothing was added";
        if (log.back() != '\n') log += '\n';
    }
    return write(path, log + lines);
}

std::vector<std::string> MethodsLogged(const std::string& logText, const std::string& file,
                                       const std::vector<std::string>& methods) {
    std::vector<std::string> found;
    std::istringstream in(logText);
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
        const std::vector<std::string> f = CsvFields(line);
        if (f.size() < 7 || f[0] != file || !f[6].empty()) continue;
        if (std::find(methods.begin(), methods.end(), f[2]) != methods.end() &&
            std::find(found.begin(), found.end(), f[2]) == found.end())
            found.push_back(f[2]);
    }
    return found;
}

std::string ReadMinima(const std::string& text, const std::string& method,
                       std::vector<Minimum>& minima) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || CsvFields(line).size() < 7 || CsvFields(line)[3] != "hjd")
        return "line 1: not a minima table (its header is file,row,method,hjd,error,"
               "calibrated_error,refused)";
    // The tables of --eclipses have one more column, eclipse, after these seven.
    const std::size_t fields = CsvFields(line).size() >= 8 && CsvFields(line)[7] == "eclipse" ? 8 : 7;
    const bool mean = method == "mean";
    // For "mean": each light curve's method rows (time, calibrated error or 0) and mean row,
    // in the order the light curves first appear.
    struct Night {
        std::string file;
        std::vector<std::pair<double, double>> rows;
        std::optional<Minimum> tableMean;
    };
    std::vector<Night> nights;
    for (int number = 2; std::getline(in, line); ++number) {
        if (line.empty() || line == "\r") continue;
        const std::vector<std::string> f = CsvFields(line);
        const std::string where = "line " + std::to_string(number) + ": ";
        if (f.size() != fields)
            return where + std::to_string(fields) + " fields expected, " + std::to_string(f.size()) + " found";
        if (!f[6].empty()) continue;  // refused
        if (!mean && f[2] != method) continue;
        const auto hjd = Number(f[3]);
        const auto error = Number(f[5].empty() ? f[4] : f[5]);
        if (!hjd || !error) return where + "the time or the error is not a number";
        // Every minimum is weighted by 1 / error^2: an error that is zero or negative would
        // weigh it infinitely or not at all. A method row without a calibrated error is not
        // used by "mean" (the table's mean row stands for its night), so only its calibrated
        // error must be usable there.
        const bool used = !mean || f[2] == "weighted_mean" || !f[5].empty();
        if (used && !(*error > 0))
            return where + "the minimum of " + f[0] + " has no usable error (" +
                   (f[5].empty() ? "error " : "calibrated_error ") + (f[5].empty() ? f[4] : f[5]) +
                   "); an error above zero is needed to weight it";
        const Minimum m{f[0], f[2], *hjd, *error};
        if (!mean) {
            minima.push_back(m);
            continue;
        }
        auto night = std::find_if(nights.begin(), nights.end(), [&](const Night& n) { return n.file == f[0]; });
        if (night == nights.end()) night = nights.insert(nights.end(), Night{f[0], {}, {}});
        if (f[2] == "weighted_mean")
            night->tableMean = m;
        else
            night->rows.emplace_back(*hjd, f[5].empty() ? 0.0 : *error);
    }
    for (const Night& n : nights) {
        const bool calibrated = !n.rows.empty() && std::all_of(n.rows.begin(), n.rows.end(),
                                                               [](const auto& r) { return r.second > 0; });
        if (!calibrated) {
            if (n.tableMean) minima.push_back(*n.tableMean);
            continue;
        }
        double sw = 0, st = 0, se = 0;
        const double origin = n.rows.front().first;  // sums of small differences keep the digits
        for (const auto& [t, e] : n.rows) {
            const double w = 1 / (e * e);
            sw += w;
            st += w * (t - origin);
            se += w * e;
        }
        minima.push_back({n.file, "calibrated_mean", origin + st / sw, se / sw});
    }
    return "";
}

std::vector<OcRow> ComputeOc(const std::vector<Minimum>& minima, double t0, double p, bool secondary) {
    std::vector<OcRow> rows;
    for (const Minimum& m : minima) {
        const double cycles = (m.hjd - t0) / p;
        // + 0.0: a minimum just before T0 is cycle 0, not "-0".
        const double e = (secondary ? std::nearbyint(2 * cycles) / 2 : std::nearbyint(cycles)) + 0.0;
        rows.push_back({m, e, m.hjd - (t0 + p * e), 0, 0, ""});
    }
    return rows;
}

Ephemeris FitEphemeris(const std::vector<OcRow>& rows, double t0, double p, int terms) {
    Ephemeris fit;
    fit.terms = terms;
    fit.n = static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const OcRow& r) { return r.flag.empty(); }));
    if (fit.n < terms) {
        fit.message = "A fit of " + std::to_string(terms) + " terms needs at least " +
                      std::to_string(terms) + " minima; " + std::to_string(fit.n) + " given.";
        return fit;
    }
    // Normal equations for the corrections (dT0, dP, Q) to O-C = dT0 + dP E + Q E^2.
    std::array<std::array<double, 4>, 3> a{};  // augmented: 3 x 3 and the right-hand side
    for (const OcRow& r : rows) {
        if (!r.flag.empty()) continue;
        if (!(r.minimum.error > 0)) {
            fit.message = "The minimum of " + r.minimum.file + " has no positive error to weight it by.";
            return fit;
        }
        const double w = 1 / (r.minimum.error * r.minimum.error);
        const double x[3] = {1, r.cycle, r.cycle * r.cycle};
        for (int i = 0; i < terms; ++i) {
            for (int j = 0; j < terms; ++j) a[i][j] += w * x[i] * x[j];
            a[i][3] += w * x[i] * r.oc;
        }
    }
    // Gauss-Jordan with partial pivoting on [A | b | I], keeping the inverse for the errors.
    std::array<std::array<double, 3>, 3> inv{};
    for (int i = 0; i < terms; ++i) inv[i][i] = 1;
    for (int c = 0; c < terms; ++c) {
        int pivot = c;
        for (int r = c + 1; r < terms; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
        if (a[pivot][c] == 0) {
            fit.message = "The cycle numbers do not determine the ephemeris (too few distinct cycles).";
            return fit;
        }
        std::swap(a[c], a[pivot]);
        std::swap(inv[c], inv[pivot]);
        const double d = a[c][c];
        for (int j = 0; j < 4; ++j) a[c][j] /= d;
        for (int j = 0; j < terms; ++j) inv[c][j] /= d;
        for (int r = 0; r < terms; ++r) {
            if (r == c) continue;
            const double f = a[r][c];
            for (int j = 0; j < 4; ++j) a[r][j] -= f * a[c][j];
            for (int j = 0; j < terms; ++j) inv[r][j] -= f * inv[c][j];
        }
    }
    const double corr[3] = {a[0][3], a[1][3], terms > 2 ? a[2][3] : 0};
    fit.t0 = t0 + corr[0];
    fit.p = p + corr[1];
    fit.q = corr[2];
    fit.t0Error = std::sqrt(inv[0][0]);
    fit.pError = std::sqrt(inv[1][1]);
    fit.qError = terms > 2 ? std::sqrt(inv[2][2]) : 0;
    double chi2 = 0;
    for (const OcRow& r : rows) {
        if (!r.flag.empty()) continue;
        const double model = corr[0] + corr[1] * r.cycle + corr[2] * r.cycle * r.cycle;
        const double d = (r.oc - model) / r.minimum.error;
        chi2 += d * d;
    }
    fit.chi2PerDof = fit.n > terms ? chi2 / (fit.n - terms) : 0;
    for (const double v : {fit.t0, fit.p, fit.q, fit.t0Error, fit.pError, fit.qError, fit.chi2PerDof})
        if (!std::isfinite(v)) {
            fit.message = "The fit gave a value that is not a number.";
            return fit;
        }
    fit.ok = true;
    return fit;
}

void FlagDuplicates(std::vector<OcRow>& rows) {
    // The rows seen so far that are not duplicates themselves, by file, method and time: a
    // set rather than a scan of every earlier row, so that a table of 10,000 minima is flagged
    // in milliseconds.
    std::set<std::tuple<std::string_view, std::string_view, double>> seen;
    for (OcRow& r : rows) {
        if (std::isnan(r.minimum.hjd)) continue;  // equal to nothing, as == has it
        const auto key = std::make_tuple(std::string_view(r.minimum.file), std::string_view(r.minimum.method), r.minimum.hjd);
        if (seen.count(key))
            r.flag = kFlagDuplicate;
        else if (r.flag != kFlagDuplicate)
            seen.insert(key);
    }
}

void SetResiduals(std::vector<OcRow>& rows, const Ephemeris& fit, double t0, double p) {
    for (OcRow& r : rows) {
        if (!fit.ok) {
            r.residual = r.residualSigma = 0;
            continue;
        }
        // What the fit predicts at E, against the trial ephemeris, so that no full Julian date
        // is subtracted from another.
        const double model = (fit.t0 - t0) + (fit.p - p) * r.cycle + fit.q * r.cycle * r.cycle;
        r.residual = r.oc - model;
        r.residualSigma = r.minimum.error > 0 ? r.residual / r.minimum.error : 0;
    }
}

Ephemeris FitRejecting(std::vector<OcRow>& rows, double t0, double p, int terms,
                       std::optional<double> reject, int& rejected) {
    rejected = 0;
    while (true) {
        const Ephemeris fit = FitEphemeris(rows, t0, p, terms);
        SetResiduals(rows, fit, t0, p);
        if (!fit.ok || !reject) return fit;
        OcRow* worst = nullptr;
        for (OcRow& r : rows)
            if (r.flag.empty() && std::fabs(r.residualSigma) > *reject &&
                (worst == nullptr || std::fabs(r.residualSigma) > std::fabs(worst->residualSigma)))
                worst = &r;
        if (worst == nullptr) return fit;
        worst->flag = kFlagRejected;
        ++rejected;
    }
}

OcRun RunOcFits(const std::vector<Minimum>& minima, const OcChoices& choices) {
    OcRun run;
    if (!(choices.p > 0) || !std::isfinite(choices.p) || !std::isfinite(choices.t0)) {
        run.message = "P must be above zero.";
        return run;
    }
    // Beyond a billion cycles a double keeps too few digits of E * P for an O-C in minutes.
    constexpr double kMaxCycles = 1e9;
    for (const Minimum& m : minima)
        if (!(std::fabs((m.hjd - choices.t0) / choices.p) < kMaxCycles)) {
            run.message = "The period P is too short for the times of " + m.file +
                          ": more than a billion cycles from T0.";
            return run;
        }
    run.rows = ComputeOc(minima, choices.t0, choices.p, choices.secondary);
    FlagDuplicates(run.rows);
    for (const std::size_t k : choices.excluded)
        if (k < run.rows.size() && run.rows[k].flag.empty()) run.rows[k].flag = kFlagExcluded;
    run.duplicates = static_cast<int>(std::count_if(run.rows.begin(), run.rows.end(),
                                                    [](const OcRow& r) { return r.flag == kFlagDuplicate; }));
    const int terms = choices.quadratic ? 3 : 2;
    const Ephemeris fullest = FitRejecting(run.rows, choices.t0, choices.p, terms, choices.reject, run.rejected);
    if (choices.quadratic) {
        run.quadratic = fullest;
        run.linear = FitEphemeris(run.rows, choices.t0, choices.p, 2);
    } else {
        run.linear = fullest;
    }
    run.ok = true;
    return run;
}

namespace {

std::string Scientific(double v) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, 3);
    return std::string(buffer, r.ptr);
}

}  // namespace

std::string FitLine(const Ephemeris& e) {
    std::string line = e.terms == 3 ? "quadratic: " : "linear: ";
    if (!e.ok) return line + "refused: " + e.message;
    line += "T0 = " + FileDecimals(e.t0) + " +/- " + FileError(e.t0Error) + ", P = " + FileDecimals(e.p, 9) +
            " +/- " + FileError(e.pError, 9);
    if (e.terms == 3) line += ", dP/dE = " + Scientific(e.dPdE()) + " +/- " + Scientific(e.dPdEError());
    line += ", chi2/dof = " + FileDecimals(e.chi2PerDof, 2);
    // The formal errors take the minima's errors as they are; a scatter larger than those
    // says they are too small, and the errors scaled by sqrt(chi2/dof) are the honest ones.
    if (e.chi2PerDof > 1) {
        const double k = e.scale();
        line += "; scaled by sqrt(chi2/dof) = " + FileDecimals(k, 2) + ": T0 +/- " + FileError(k * e.t0Error) +
                ", P +/- " + FileError(k * e.pError, 9);
        if (e.terms == 3) line += ", dP/dE +/- " + Scientific(k * e.dPdEError());
    }
    return line;
}

std::string OcTableCsv(const std::vector<OcRow>& rows, bool withResiduals) {
    std::string text = "file,method,E,hjd,o_c_days,o_c_minutes,error,residual_days,residual_sigma,flag\n";
    for (const OcRow& r : rows) {
        text += CsvField(r.minimum.file) + "," + r.minimum.method + "," + FileDecimals(r.cycle, 1) + "," +
                FileDecimals(r.minimum.hjd) + "," + FileDecimals(r.oc) + "," + FileDecimals(r.oc * 1440, 4) + "," +
                FileError(r.minimum.error) + ",";
        text += withResiduals ? FileDecimals(r.residual) + "," + FileDecimals(r.residualSigma, 2) : std::string(",");
        text += "," + r.flag + "\n";
    }
    return text;
}

std::string ParseEphemeris(const std::string& t0Text, const std::string& pText, double& t0, double& p) {
    const auto trimmed = [](const std::string& s) {
        const auto b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
        return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
    };
    const std::string t0s = trimmed(t0Text), ps = trimmed(pText);
    const auto newT0 = Number(t0s), newP = Number(ps);
    if (!newT0) return "T0 must be a number (a Julian date of minimum), not \"" + t0s + "\".";
    if (!newP) return "P must be a number (the period in days), not \"" + ps + "\".";
    if (!(*newP > 0)) return "P must be above zero, not \"" + ps + "\".";
    t0 = *newT0;
    p = *newP;
    return "";
}

}  // namespace umbrix
