#include "apoyo.h"

#include <QProcess>
#include <QRegularExpression>

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

InfoPdf infoPdf(const QString& ruta) {
    static const QRegularExpression paginas(QStringLiteral("Pages:\\s+(\\d+)"));
    static const QRegularExpression pagina(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"));
    static const QRegularExpression palabra(QStringLiteral("<word [^>]*xMax=\"([0-9.]+)\""));
    InfoPdf info;
    const QString texto = QString::fromUtf8(ejecutar(QStringLiteral("pdfinfo"), {ruta}).texto);
    if (const QRegularExpressionMatch m = paginas.match(texto); m.hasMatch())
        info.paginas = m.captured(1).toInt();
    if (const QRegularExpressionMatch m = pagina.match(texto); m.hasMatch())
        info.pagina = QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
    // Two heading lines, then one line a picture.
    info.imagenes = std::max<int>(0, ejecutar(QStringLiteral("pdfimages"), {"-list", ruta}).texto.count('\n') - 2);
    const QByteArray cajas = ejecutar(QStringLiteral("pdftotext"), {"-bbox", "-f", "1", "-l", "1", ruta, "-"}).texto;
    for (auto it = palabra.globalMatch(QString::fromUtf8(cajas)); it.hasNext();)
        info.bordeDerecho = std::max(info.bordeDerecho, it.next().captured(1).toDouble());
    return info;
}

QStringList archivos(const QDir& carpeta) {
    return carpeta.entryList(QDir::Files, QDir::Name);
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

QMultiMap<QString, QString> esperarTrabajos(const QStringList& antes, int minimo) {
    QStringList nuevos;
    esperarHasta(
        [&] {
            nuevos = archivos(capturas());
            nuevos.removeIf([&](const QString& n) { return antes.contains(n) || n.endsWith(QLatin1String(".part")); });
            return nuevos.size() >= minimo && colaVacia();
        },
        20000);
    QMultiMap<QString, QString> trabajos;
    for (const QString& n : nuevos)
        trabajos.insert(n.section(u'-', 0, 0), capturas().filePath(n));
    return trabajos;
}

} // namespace prueba
