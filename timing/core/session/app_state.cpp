#include "timing/core/session/app_state.h"

#include "timing/core/data/reader.h"
#include "timing/core/methods/method_table.h"
#include "timing/core/methods/fourier.h"

namespace umbrix {

void ResetMethodStates(AppState& app) {
    ResetParabolaState(app.parabola);
    ResetTracingState(app.tracing);
    ResetChordsState(app.chords);
    ResetKvwState(app.kvw);
    ResetFourierState(app.fourier, app.data);
    ResetSlidingState(app.sliding);
}

void ChangeMagSign(AppState& app, int index) {
    SetMagSign(app.data, index);
    // The default Fourier start sits on the faintest point, which the sign change moves.
    SeedFourierStart(app.fourier, app.data);
}

void PrepareGo(AppState& app, int row) {
    if (row < 1 || row > kMethodRows) return;
    switch (MethodOfRow(row).go) {
        case GoPrepares::WholeWorkingSet:
            app.RangeFirst = 1;
            app.RangeLast = app.data.PointCount;
            break;
        case GoPrepares::TracingMagnitudes:
            ResetTraceMag(app.tracing, app.data);
            break;
        case GoPrepares::ComputesAtOnce:
            break;
    }
}

std::string OpenLightCurve(AppState& app, const std::string& dir, const std::string& name) {
    DataSet& ds = app.data;
    ds.DataDir = dir;
    ds.DataFileName = name;
    ds.DataPath = JoinPath(dir, name);
    std::string message = LoadDataFile(ds);
    if (message.empty()) ResetMethodStates(app);
    return message;
}

}  // namespace umbrix
