#include "apoyo.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>

namespace prueba {

Salida ejecutar(const QString& programa, const QStringList& argumentos) {
    QProcess p;
    p.start(programa, argumentos);
    Salida s;
    if (!p.waitForStarted(10000)) {
        s.errores = QStringLiteral("no arranco %1").arg(programa).toUtf8();
        return s;
    }
    p.closeWriteChannel();
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
    }
    s.codigo = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    s.texto = p.readAllStandardOutput();
    s.errores = p.readAllStandardError();
    return s;
}

QString textoPdf(const QString& ruta) {
    return QString::fromUtf8(ejecutar(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), ruta, "-"}).texto);
}

namespace {

QString infoPdf(const QString& ruta) {
    return QString::fromUtf8(ejecutar(QStringLiteral("pdfinfo"), {ruta}).texto);
}

} // namespace

QSizeF tamanoPaginaPdf(const QString& ruta) {
    static const QRegularExpression re(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"));
    const QRegularExpressionMatch m = re.match(infoPdf(ruta));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

int paginasPdf(const QString& ruta) {
    static const QRegularExpression re(QStringLiteral("Pages:\\s+(\\d+)"));
    const QRegularExpressionMatch m = re.match(infoPdf(ruta));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

int imagenesPdf(const QString& ruta) {
    const QStringList lineas = QString::fromUtf8(ejecutar(QStringLiteral("pdfimages"), {"-list", ruta}).texto)
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // Two heading lines, then one line a picture.
    return std::max<int>(0, static_cast<int>(lineas.size()) - 2);
}

double bordeDerechoTextoPdf(const QString& ruta) {
    const QString html =
        QString::fromUtf8(ejecutar(QStringLiteral("pdftotext"), {"-bbox", "-f", "1", "-l", "1", ruta, "-"}).texto);
    static const QRegularExpression re(QStringLiteral("<word [^>]*xMax=\"([0-9.]+)\""));
    double borde = 0;
    for (auto it = re.globalMatch(html); it.hasNext();)
        borde = std::max(borde, it.next().captured(1).toDouble());
    return borde;
}

bool esperarHasta(const std::function<bool()>& condicion, int ms) {
    QElapsedTimer reloj;
    reloj.start();
    while (!condicion()) {
        if (reloj.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

QStringList archivos(const QDir& carpeta) {
    return carpeta.entryList(QDir::Files, QDir::Name);
}

QByteArray leer(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString caja() {
    return qEnvironmentVariable("KESTREL_CAJA_CUPS");
}

QDir capturas() {
    return QDir(caja() + QStringLiteral("/out"));
}

namespace {

bool colaVacia() {
    return ejecutar(QStringLiteral("lpstat"), {"-o"}).texto.trimmed().isEmpty();
}

} // namespace

void esperarColaVacia() {
    esperarHasta(colaVacia, 20000);
}

QStringList esperarTrabajos(const QStringList& antes, int minimo) {
    QStringList nuevos;
    esperarHasta(
        [&] {
            nuevos = archivos(capturas());
            nuevos.removeIf([&](const QString& n) { return antes.contains(n) || n.endsWith(QLatin1String(".part")); });
            return nuevos.size() >= minimo && colaVacia();
        },
        20000);
    return nuevos;
}

} // namespace prueba
