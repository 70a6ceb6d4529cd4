#include "timing/cli/oc_command.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <iterator>

#include "timing/cli/batch.h"
#include "timing/cli/options.h"
#include "timing/core/data/format.h"
#include "timing/core/data/json.h"

namespace umbrix {

const char* const kOcUsage =
    "usage: ectimer --oc TABLE --ephemeris T0,P [--method NAME|mean] [--secondary] [--quadratic]\n"
    "                          [--reject N] [--plot oc.png|oc.pdf|oc.svg] [--show]\n"
    "  TABLE        a minima table (ectimer --batch ... --table, or the window's minima log)\n"
    "  --ephemeris  the trial ephemeris: epoch T0 (HJD) and period P (days)\n"
    "  --method     the rows to use: parabola,tracing,chords,kvw,fourier,sliding, or mean (each\n"
    "               light curve's rows weighted by their calibrated errors, or the table's\n"
    "               weighted mean where they have none; default)\n"
    "  --secondary  cycle numbers to the nearest half, so that secondary minima fall on E + 0.5\n"
    "  --quadratic  also fit a quadratic ephemeris and give dP/dE\n"
    "  --reject     leave out, one at a time, the minimum furthest beyond N times its error\n"
    "               from the fit (the quadratic one with --quadratic), until none is\n"
    "  --plot       also draw the O-C diagram with the fits into this image file\n"
    "  --show       then open the O-C window on the table with these choices\n";

int RunOcCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 OcOutcome& outcome) {
    const auto bad = [&](const std::string& complaint) {
        err << "ectimer: " << complaint << "\n" << kOcUsage;
        return kBatchFailed;
    };
    if (args.size() < 2 || args[1].rfind("--", 0) == 0) return bad("--oc needs a TABLE");
    std::optional<std::array<double, 2>> ephemeris;
    std::optional<double> reject;
    std::string method = "mean";
    bool secondary = false, quadratic = false;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--secondary") {
            secondary = true;
        } else if (a == "--quadratic") {
            quadratic = true;
        } else if (a == "--show") {
            outcome.show = true;
        } else if (a == "--plot" && i + 1 < args.size()) {
            outcome.plotPath = args[++i];
        } else if (a == "--reject" && i + 1 < args.size()) {
            const std::string& v = args[++i];
            reject = ParseTime(v);
            if (!reject || !(*reject > 0)) return bad("--reject takes a number of sigma above zero, not \"" + v + "\"");
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
            outcome.t0Text = parts[0];
            outcome.pText = parts[1];
        } else {
            return bad("unknown option or missing value \"" + a + "\"");
        }
    }
    if (!ephemeris) return bad("--oc needs --ephemeris T0,P");
    if (method.find(',') != std::string::npos) return bad("--method takes one method name or mean");
    // The window has no rejection by a rule: there the minima are left out by hand.
    if (outcome.show && reject) return bad("--show takes no --reject: leave minima out by hand in the window");
    outcome.table = args[1];
    outcome.method = method;
    outcome.secondary = secondary;
    outcome.quadraticAsked = quadratic;

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
    // Rejection and the residuals go by the fullest fit asked for; every fit then uses the
    // same minima.
    OcChoices choices{t0, p, secondary, quadratic, reject, {}};
    OcRun run = RunOcFits(minima, choices);
    if (!run.ok) return bad(run.message);
    outcome.rows = run.rows;
    outcome.linear = run.linear;
    outcome.quadratic = run.quadratic;
    out << "minima: " << run.rows.size() << " ("
        << (method == "mean" ? "means, weighted by the calibrated errors where the table has them" : method) << ")\n";
    if (run.duplicates > 0) out << "duplicates: " << run.duplicates << " (the same file, method and time again), left out\n";
    if (reject) out << "rejected: " << run.rejected << " beyond " << JsonNumber(*reject) << " sigma of the fit, left out\n";
    out << OcTableCsv(run.rows, run.fullest().ok);
    out << FitLine(run.linear) << "\n";
    if (run.quadratic) out << FitLine(*run.quadratic) << "\n";
    return kBatchOk;
}

}  // namespace umbrix
