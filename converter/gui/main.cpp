// hjdprep: converts an observation log into Heliocentric Julian Dates and light-curve files.
//
//   hjdprep                 the window Form1
//   hjdprep --convert LOG   no window: see command_line.h

#include <QApplication>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "converter/core/command_line.h"
#include "converter/gui/form1.h"

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (hjdprep::IsCommandLineRequest(args))
        return hjdprep::RunCommandLine(args, std::filesystem::current_path(), std::cout, std::cerr);

    QApplication application(argc, argv);
    QApplication::setApplicationName("hjdprep");
    hjdprep::Form1 window;
    window.show();
    return QApplication::exec();
}
