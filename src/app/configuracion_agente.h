#pragma once

#include <QString>
#include <QStringList>

#include "app/opciones_agente.h"

namespace kestrel {

/// The settings files the agent reads, in the order they apply (a later one wins): kestrel/kestrel-agente.conf
/// in each of the platform's settings folders, the machine's and then the user's (on POSIX each of
/// XDG_CONFIG_DIRS, by default /etc/xdg, the first listed winning, then $XDG_CONFIG_HOME, by default ~/.config;
/// on Windows %PROGRAMDATA% then %APPDATA%). With --config only that file is read.
QStringList archivosConfiguracion(const QString& archivoPedido);

/// Applies the [agente] section of one INI settings file: one key per agent option, named as the option
/// without its dashes (a list such as impresoras-virtuales as a comma-separated value). A missing file is no
/// error. Returns the problem as one line naming the file, the key and what is wrong, or nothing.
QString aplicarArchivoConfiguracion(const QString& ruta, OpcionesAgente& opciones);

/// The agent's options from its settings files and then its command line (which wins over both). An option
/// error, an unreadable --config file or a bad key ends in error.
ResultadoOpciones leerOpcionesAgente(const QStringList& argumentos);

} // namespace kestrel
