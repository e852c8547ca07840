#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

// The main of every window test binary.
int main(int argc, char** argv) {
    // Window tests never need a display, also when CTest lists them without
    // the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Qt's own number texts do not follow the machine the tests run on.
    QLocale::setDefault(QLocale::c());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
