// main() of UI test programs: an offscreen QApplication around GoogleTest.
#include "uitest/UiTestSupport.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    nuv::test::FreeAllForms();
    nuv::test::DrainEvents();
    return result;
}
