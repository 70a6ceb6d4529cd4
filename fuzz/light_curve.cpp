// The light-curve reader. Every input ends in a light curve that keeps the store's
// invariants or in a refusal whose message a message box can show as it is; loading the same
// bytes from a file gives the same verdict, and a refused file leaves the data set loaded
// before exactly as it was.

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "fuzz/check.h"
#include "timing/core/data/reader.h"

namespace {

using umbrix::DataSet;

const char* const kGoodFile = "HJD,Mag\n2454123.40,12.0\n2454123.41,12.5\n2454123.42,12.1\n";

bool SameData(const DataSet& a, const DataSet& b) {
    return a.RawHjd == b.RawHjd && a.RawMag == b.RawMag && a.AllTime == b.AllTime && a.AllMag == b.AllMag &&
           a.Time == b.Time && a.Mag == b.Mag && a.Deleted == b.Deleted && a.ReadCount == b.ReadCount &&
           a.PointCount == b.PointCount && a.DayOffset == b.DayOffset && a.MagSign == b.MagSign &&
           a.MagMaxIndex == b.MagMaxIndex && a.FullTimeSpan == b.FullTimeSpan && a.GuessMinTime == b.GuessMinTime;
}

struct Files {
    std::filesystem::path dir;
    Files() {
        dir = std::filesystem::temp_directory_path() / ("fuzz_light_curve_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        std::ofstream(dir / "good.csv", std::ios::binary) << kGoodFile;
    }
    ~Files() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Files files;
    const std::string_view text = fuzz::AsText(data, size);
    const umbrix::ParsedLightCurve r = umbrix::ParseLightCurve(text, "fuzz.csv");

    auto ds = std::make_unique<DataSet>();
    if (r.ok) {
        FUZZ_CHECK(r.message.empty());
        FUZZ_CHECK(r.hjd.size() == r.mag.size());
        FUZZ_CHECK(r.hjd.size() >= 1 && r.hjd.size() <= static_cast<std::size_t>(umbrix::kMaxPoints));
        umbrix::ApplyLightCurve(*ds, r.hjd, r.mag);
        FUZZ_CHECK(ds->ReadCount == static_cast<int>(r.hjd.size()) && ds->PointCount == ds->ReadCount);
        for (int i = 1; i <= ds->ReadCount; ++i) {
            FUZZ_CHECK(std::isfinite(ds->RawHjd[i]) && std::isfinite(ds->RawMag[i]));
            FUZZ_CHECK(ds->AllMag[i] == ds->RawMag[i] && !ds->Deleted[i]);
        }
        // Every loaded curve has its faintest and brightest point, whatever its magnitudes
        // (magnitudes_beyond_99.csv in the corpus once left them at the empty point 0).
        FUZZ_CHECK(ds->MagMaxIndex >= 1 && ds->MagMaxIndex <= ds->PointCount);
        FUZZ_CHECK(ds->MagMinIndex >= 1 && ds->MagMinIndex <= ds->PointCount);
        FUZZ_CHECK(ds->Mag[ds->MagMaxIndex] == ds->MagMax && ds->MagMin <= ds->MagMax);
        FUZZ_CHECK(ds->Mag[ds->MagMinIndex] == ds->MagMin);
    } else {
        FUZZ_CHECK(!r.message.empty());
        FUZZ_CHECK(r.hjd.empty() && r.mag.empty());
        FUZZ_CHECK(fuzz::IsShowable(r.message));
    }

    // The same bytes through the file: a good file loaded first, then this one.
    ds->DataDir = files.dir.string();
    ds->DataFileName = "good.csv";
    ds->DataPath = umbrix::JoinPath(ds->DataDir, ds->DataFileName);
    FUZZ_CHECK(umbrix::LoadDataFile(*ds).empty());
    const auto before = std::make_unique<DataSet>(*ds);
    {
        std::ofstream out(files.dir / "fuzz.csv", std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    ds->DataFileName = "fuzz.csv";
    ds->DataPath = umbrix::JoinPath(ds->DataDir, ds->DataFileName);
    const std::string message = umbrix::LoadDataFile(*ds);
    FUZZ_CHECK(message == r.message);
    if (!r.ok) FUZZ_CHECK(SameData(*ds, *before));
    return 0;
}
