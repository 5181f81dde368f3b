#pragma once

#include <QString>
#include <QStringList>

namespace kestrel {

// What differs between the platforms the agent runs on, besides its printers, the single-instance lock
// (instancia_unica.h) and desktop notifications (notificaciones_escritorio.h). One backend per platform is
// built (posix/ or win/); nothing else in the tree asks which platform it runs on.

/// The program's arguments (the program name excluded) exactly as the user typed them: on Windows from the
/// wide command line, since argv holds them in the ANSI code page and loses what it lacks.
QStringList argumentosPrograma(int argc, char** argv);

/// Makes standard output and standard error of a console mode reach the console it was started from. The
/// Windows agent is a GUI program, which starts without a console: it attaches to its parent's when its
/// output is not already redirected to a file or a pipe. Nothing to do elsewhere.
void prepararConsola();

/// Sets what the GUI platform needs before the application object exists. On Windows: the FreeType font
/// engine, whose fractional advances keep a receipt font at the characters per inch the layout scaled it to,
/// as on Linux (GDI rounds every advance to a whole device pixel, which widens the columns). A platform
/// chosen in QT_QPA_PLATFORM is kept.
void prepararGraficos();

/// True when a GUI application can start here: a platform that needs no display, or a display that answers.
/// Always on Windows, where a GUI program has its desktop.
bool hayPantalla();

/// The folders whose kestrel/kestrel-agente.conf the agent reads, in the order they apply (a later one wins):
/// the machine's first, the user's last.
QStringList carpetasConfiguracion();

/// How --help names those files, in one sentence ending in a line break.
QString ayudaArchivosConfiguracion();

/// The per-user folder that becomes the application folder when the executable's folder is not writable.
/// Needs the application's and organisation's names set (QCoreApplication).
QString carpetaDatosUsuario();

} // namespace kestrel
