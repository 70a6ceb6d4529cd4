#include "timing/app/app_state.h"

#include "timing/data/reader.h"
#include "timing/methods/fourier/fourier.h"

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
