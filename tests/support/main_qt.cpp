#include <gtest/gtest.h>

#if defined(QT_WIDGETS_LIB)
#include <QApplication>
using Aplicacion = QApplication;
#elif defined(QT_GUI_LIB)
#include <QGuiApplication>
using Aplicacion = QGuiApplication;
#else
#include <QCoreApplication>
using Aplicacion = QCoreApplication;
#endif

namespace {
void fijarSiFalta(const char* nombre, const char* valor) {
    if (qEnvironmentVariableIsEmpty(nombre))
        qputenv(nombre, valor);
}
} // namespace

// Test programs that need an application object and its event loop (windows, the link, QPainter's fonts).
// The branch's regional settings and the offscreen platform are pinned here too, so a program run by hand, or
// listed at build time, behaves as under ctest and never asks for a display.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    fijarSiFalta("LANG", "es_CO.UTF-8");
    fijarSiFalta("LC_ALL", "es_CO.UTF-8");
    // Wine hands no QT_* variable to a Windows program: the Windows test run names the agent's own platform
    // (its font engine lays receipts out) in KESTREL_QT_QPA_PLATFORM.
    const QByteArray plataforma = qgetenv("KESTREL_QT_QPA_PLATFORM");
    fijarSiFalta("QT_QPA_PLATFORM", plataforma.isEmpty() ? "offscreen" : plataforma.constData());
    Aplicacion app(argc, argv);
    return RUN_ALL_TESTS();
}
