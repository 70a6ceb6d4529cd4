// ectimer: times the minimum of an eclipsing binary's light curve.
//
//   ectimer                 the main window, no file loaded
//   ectimer FILE            the main window with FILE loaded as File > Open would
//   ectimer --batch FILE .. no window: see batch.h
//
// This program holds the command line and does not link Qt; the windows are a module
// (draw/windows_module.h) loaded here when they are wanted: for the main window, and to draw
// the O-C diagram of --oc --plot.

#include <dlfcn.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "timing/cli/batch.h"
#include "timing/cli/oc_command.h"
#include "timing/draw/windows_module.h"

namespace {

// Exit status when the windows cannot be started (the module is missing or broken).
constexpr int kNoWindows = 1;

// Loads the windows' module and returns its entry `name`, or nullptr with the reason on
// stderr. The module lies beside the program in the build tree, and at UMBRIX_GUI_MODULE_DIR
// (relative to the program's folder) once installed; the program's own path, not the working
// directory or LD_LIBRARY_PATH, decides which file.
void* WindowsEntry(const char* name) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        std::cerr << "ectimer: cannot find its own folder to load its windows: " << error.message()
                  << '\n';
        return nullptr;
    }
    const std::filesystem::path folder = self.parent_path();
    std::string looked;
    for (const std::filesystem::path& module :
         {folder / UMBRIX_GUI_MODULE, folder / UMBRIX_GUI_MODULE_DIR / UMBRIX_GUI_MODULE}) {
        if (!std::filesystem::exists(module)) {
            looked += "\n  " + module.lexically_normal().string();
            continue;
        }
        // RTLD_NOW: a module that does not match its Qt fails here, not in mid-session.
        void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
        void* entry = handle != nullptr ? dlsym(handle, name) : nullptr;
        if (entry == nullptr) std::cerr << "ectimer: cannot load its windows: " << dlerror() << '\n';
        return entry;
    }
    std::cerr << "ectimer: its windows are not installed; looked for:" << looked << '\n';
    return nullptr;
}

int RunWindows(int argc, char* argv[]) {
    void* entry = WindowsEntry("umbrix_gui_main");
    if (entry == nullptr) return kNoWindows;
    return reinterpret_cast<decltype(&umbrix_gui_main)>(entry)(argc, argv);
}

std::string ExportOcPlot(const umbrix::OcPlot& plot, const std::string& path) {
    void* entry = WindowsEntry("umbrix_export_oc_plot");
    if (entry == nullptr) return "the O-C diagram cannot be drawn without ectimer's windows";
    std::string complaint;
    reinterpret_cast<decltype(&umbrix_export_oc_plot)>(entry)(plot, path.c_str(), complaint);
    return complaint;
}

int OpenOcWindow(char* program, const umbrix::OcOutcome& outcome) {
    void* entry = WindowsEntry("umbrix_oc_window");
    if (entry == nullptr) return kNoWindows;
    const umbrix::OcWindowRequest request{outcome.table, outcome.t0Text,    outcome.pText,
                                          outcome.method, outcome.secondary, outcome.quadraticAsked};
    // Only the program's name goes on to the toolkit: the rest were the --oc options.
    int toolkitArgc = 1;
    char* toolkitArgv[] = {program, nullptr};
    return reinterpret_cast<decltype(&umbrix_oc_window)>(entry)(toolkitArgc, toolkitArgv, request);
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (umbrix::IsBatchRequest(args))
        return umbrix::RunBatch(args, std::cout, std::cerr, ExportOcPlot, [&](const umbrix::OcOutcome& outcome) {
            return OpenOcWindow(argv[0], outcome);
        });
    return RunWindows(argc, argv);
}
