#include <QApplication>

#include <gtest/gtest.h>

// Window and link tests need an application object and its event loop; the platform defaults to offscreen
// so that listing the tests works without a display too.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
