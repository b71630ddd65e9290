// Window tests run headless: one QApplication for the whole test program.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Dozens of start-ups: the pauses that let a person read each step are cut short.
    if (qEnvironmentVariableIsEmpty("TAMSEL_STARTUP_PAUSE_MS")) {
        qputenv("TAMSEL_STARTUP_PAUSE_MS", "10");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
