// main() of the glyph tests: one offscreen QGuiApplication, so that text can be drawn.

#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Test discovery runs the binary outside CTest's environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
