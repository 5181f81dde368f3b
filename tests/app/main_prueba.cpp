#include <QApplication>

#include <gtest/gtest.h>

namespace {
void fijarSiFalta(const char* nombre, const char* valor) {
    if (qEnvironmentVariableIsEmpty(nombre))
        qputenv(nombre, valor);
}
} // namespace

// Window and link tests need an application object and its event loop. ctest hands discovered tests only the
// first entry of the folder's environment list, so the branch's regional settings and the offscreen platform
// are pinned here as well (also when the program is run by hand).
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    fijarSiFalta("LANG", "es_CO.UTF-8");
    fijarSiFalta("LC_ALL", "es_CO.UTF-8");
    fijarSiFalta("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
