// main() for Qt widget tests: a QApplication on the offscreen platform (unless QT_QPA_PLATFORM
// says otherwise), then every test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QtGlobal>

int main(int argc, char** argv) {
    // Qt's own calls, so this builds on Windows too.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#ifdef _WIN32
    // On Windows the offscreen platform reads its fonts from a folder, by default one inside
    // Qt's own: take the system's, as the windows platform does.
    if (!qEnvironmentVariableIsSet("QT_QPA_FONTDIR") && qEnvironmentVariableIsSet("SystemRoot")) {
        qputenv("QT_QPA_FONTDIR", (qEnvironmentVariable("SystemRoot") + "\\Fonts").toLocal8Bit());
    }
#endif
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
