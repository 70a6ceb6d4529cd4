// main() of the GUI test programs: Qt's offscreen platform unless a display is asked for,
// one QApplication for the whole program, and message boxes recorded instead of shown.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char* argv[]) {
    // Test discovery runs this program at build time, possibly on a machine without a display.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Umbrix");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
