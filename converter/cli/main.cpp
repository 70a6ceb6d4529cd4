// hjdprep: converts an observation log into Heliocentric Julian Dates and light-curve files.
//
//   hjdprep                 the window Form1
//   hjdprep --convert LOG   no window: see command_line.h
//   hjdprep --help          the usage
//
// This program holds the command line and does not link Qt; the window is a module
// (core/window_module.h) loaded here only when it is wanted, so a conversion on a machine
// without a display, or in a script, never loads the Qt libraries.

#include <dlfcn.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "converter/core/command_line.h"
#include "converter/core/window_module.h"

namespace {

// Exit status when the window cannot be started (the module is missing or broken).
constexpr int kNoWindow = 1;

// Loads the window module and returns its entry, or nullptr with the reason on stderr. The
// module lies beside the program in the build tree, and at HJDPREP_WINDOW_MODULE_DIR
// (relative to the program's folder) once installed; the program's own path decides which
// file, not the working directory or LD_LIBRARY_PATH.
void* WindowEntry() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        std::cerr << "hjdprep: cannot find its own folder to load its window: " << error.message() << '\n';
        return nullptr;
    }
    const std::filesystem::path folder = self.parent_path();
    std::string looked;
    for (const std::filesystem::path& module :
         {folder / HJDPREP_WINDOW_MODULE, folder / HJDPREP_WINDOW_MODULE_DIR / HJDPREP_WINDOW_MODULE}) {
        if (!std::filesystem::exists(module)) {
            looked += "\n  " + module.lexically_normal().string();
            continue;
        }
        // RTLD_NOW: a module that does not match its Qt fails here, not in mid-session.
        void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
        void* entry = handle != nullptr ? dlsym(handle, "hjdprep_window_main") : nullptr;
        if (entry == nullptr) std::cerr << "hjdprep: cannot load its window: " << dlerror() << '\n';
        return entry;
    }
    std::cerr << "hjdprep: its window is not installed; looked for:" << looked << '\n';
    return nullptr;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (hjdprep::IsCommandLineRequest(args))
        return hjdprep::RunCommandLine(args, std::filesystem::current_path(), std::cout, std::cerr);
    void* entry = WindowEntry();
    if (entry == nullptr) return kNoWindow;
    return reinterpret_cast<decltype(&hjdprep_window_main)>(entry)(argc, argv);
}
