#include "metricas/proceso.h"

#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QList>

namespace kestrel {

namespace {

QByteArray leer(const char* ruta) {
    QFile archivo(QString::fromLatin1(ruta));
    // /proc files report size 0: read until the end instead of by size.
    if (!archivo.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    return archivo.readAll();
}

} // namespace

double memoriaResidente() {
    // statm: total pages, resident pages, ...
    const QList<QByteArray> campos = leer("/proc/self/statm").split(' ');
    bool ok = false;
    const double paginas = campos.value(1).toDouble(&ok);
    return ok ? paginas * static_cast<double>(sysconf(_SC_PAGESIZE)) : -1;
}

double inicioProceso() {
    // stat's 22nd field is the start in clock ticks after boot; the command in field 2 may hold blanks and
    // parentheses, so the fields are counted after its closing one.
    const QByteArray stat = leer("/proc/self/stat");
    const qsizetype cierre = stat.lastIndexOf(')');
    const QList<QByteArray> campos = stat.mid(cierre + 2).split(' ');
    bool ok = false;
    const double ticks = campos.value(22 - 3).toDouble(&ok);
    if (cierre < 0 || !ok)
        return -1;
    for (const QByteArray& linea : leer("/proc/stat").split('\n')) {
        if (linea.startsWith("btime ")) {
            const double arranque = linea.mid(6).trimmed().toDouble(&ok);
            return ok ? arranque + ticks / static_cast<double>(sysconf(_SC_CLK_TCK)) : -1;
        }
    }
    return -1;
}

} // namespace kestrel
