#include "apoyo.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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
    QStringList nombres = carpeta.entryList(QDir::Files, QDir::Name);
    return nombres;
}

QStringList esperarArchivosNuevos(const QDir& carpeta, const QStringList& antes, std::chrono::milliseconds limite) {
    const auto fin = std::chrono::steady_clock::now() + limite;
    for (;;) {
        QStringList nuevos;
        for (const QString& n : archivos(carpeta)) {
            if (!antes.contains(n) && !n.endsWith(QLatin1String(".part")))
                nuevos << n;
        }
        if (!nuevos.isEmpty() || std::chrono::steady_clock::now() >= fin)
            return nuevos;
        QThread::msleep(50);
    }
}

} // namespace prueba
