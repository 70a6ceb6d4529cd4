#include "timing/app/app_state.h"

#include "timing/data/reader.h"

namespace umbrix {

void ResetMethodStates(AppState& app) {
    (void)app;
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
