#include "timing/cli/oc_command.h"

#include <array>
#include <charconv>
#include <fstream>
#include <iterator>

#include "timing/cli/batch.h"
#include "timing/cli/options.h"
#include "timing/core/data/format.h"

namespace umbrix {

const char* const kOcUsage =
    "usage: ectimer --oc TABLE --ephemeris T0,P [--method NAME|mean] [--secondary] [--quadratic]\n"
    "                          [--plot oc.png|oc.pdf|oc.svg]\n"
    "  TABLE        a minima table (ectimer --batch ... --table, or the window's minima log)\n"
    "  --ephemeris  the trial ephemeris: epoch T0 (HJD) and period P (days)\n"
    "  --method     the rows to use: parabola,tracing,chords,kvw,fourier,sliding, or mean (the\n"
    "               weighted means; default)\n"
    "  --secondary  cycle numbers to the nearest half, so that secondary minima fall on E + 0.5\n"
    "  --quadratic  also fit a quadratic ephemeris and give dP/dE\n"
    "  --plot       also draw the O-C diagram with the fits into this image file\n";

namespace {

std::string Scientific(double v) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, 3);
    return std::string(buffer, r.ptr);
}

}  // namespace

int RunOcCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 OcOutcome& outcome) {
    const auto bad = [&](const std::string& complaint) {
        err << "ectimer: " << complaint << "\n" << kOcUsage;
        return kBatchFailed;
    };
    if (args.size() < 2 || args[1].rfind("--", 0) == 0) return bad("--oc needs a TABLE");
    std::optional<std::array<double, 2>> ephemeris;
    std::string method = "mean";
    bool secondary = false, quadratic = false;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--secondary") {
            secondary = true;
        } else if (a == "--quadratic") {
            quadratic = true;
        } else if (a == "--plot" && i + 1 < args.size()) {
            outcome.plotPath = args[++i];
        } else if ((a == "--ephemeris" || a == "--method") && i + 1 < args.size()) {
            const std::string& v = args[++i];
            if (a == "--method") {
                method = v;
                if (method != "mean" && !ParseMethods(method)) return bad("--method takes one method name or mean, not \"" + v + "\"");
                continue;
            }
            const std::vector<std::string> parts = Split(v, ',');
            const auto t0 = parts.size() == 2 ? ParseTime(parts[0]) : std::nullopt;
            const auto p = parts.size() == 2 ? ParseTime(parts[1]) : std::nullopt;
            if (!t0 || !p || !(*p > 0)) return bad("--ephemeris takes T0,P with P > 0, not \"" + v + "\"");
            ephemeris = std::array<double, 2>{*t0, *p};
        } else {
            return bad("unknown option or missing value \"" + a + "\"");
        }
    }
    if (!ephemeris) return bad("--oc needs --ephemeris T0,P");
    if (method.find(',') != std::string::npos) return bad("--method takes one method name or mean");

    std::ifstream in(args[1], std::ios::binary);
    if (!in) return bad("cannot read the table \"" + args[1] + "\"");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<Minimum> minima;
    if (const std::string message = ReadMinima(text, method, minima); !message.empty()) {
        err << "ectimer: \"" << args[1] << "\", " << message << "\n";
        return kBatchFailed;
    }
    const auto [t0, p] = *ephemeris;
    outcome.t0 = t0;
    outcome.p = p;
    outcome.rows = ComputeOc(minima, t0, p, secondary);
    const std::vector<OcRow>& rows = outcome.rows;
    out << "minima: " << rows.size() << " (" << (method == "mean" ? "weighted means" : method) << ")\n"
        << "file,method,E,hjd,o_c_days,o_c_minutes,error\n";
    for (const OcRow& r : rows)
        out << CsvField(r.minimum.file) << "," << r.minimum.method << "," << FileDecimals(r.cycle, 1) << ","
            << FileDecimals(r.minimum.hjd) << "," << FileDecimals(r.oc) << ","
            << FileDecimals(r.oc * 1440, 4) << "," << FileError(r.minimum.error) << "\n";
    for (const int terms : {2, 3}) {
        if (terms == 3 && !quadratic) break;
        const Ephemeris e = FitEphemeris(rows, t0, p, terms);
        (terms == 2 ? outcome.linear : outcome.quadratic) = e;
        out << (terms == 2 ? "linear: " : "quadratic: ");
        if (!e.ok) {
            out << "refused: " << e.message << "\n";
            continue;
        }
        out << "T0 = " << FileDecimals(e.t0) << " +/- " << FileError(e.t0Error)
            << ", P = " << FileDecimals(e.p, 9) << " +/- " << FileError(e.pError, 9);
        if (terms == 3) out << ", dP/dE = " << Scientific(e.dPdE()) << " +/- " << Scientific(e.dPdEError());
        out << ", chi2/dof = " << FileDecimals(e.chi2PerDof, 2) << "\n";
    }
    return kBatchOk;
}

}  // namespace umbrix
