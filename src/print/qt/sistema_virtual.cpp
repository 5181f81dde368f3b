#include "print/qt/sistema_virtual.h"

#include <QBuffer>
#include <QFileInfo>
#include <QSaveFile>

#include "json/fallo.h"
#include "print/impresora_ausente.h"
#include "print/seleccion.h"
#include "print/qt/imagen.h"
#include "print/qt/transcripcion.h"

namespace kestrel {

namespace {

/// A printer name as part of a file name: path separators would put the file elsewhere.
QString nombreArchivo(const QString& impresora) {
    QString n = impresora;
    n.replace(QLatin1Char('/'), QLatin1Char('_'));
    n.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return n;
}

void guardar(const QString& ruta, const QByteArray& datos) {
    QSaveFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly) || archivo.write(datos) != datos.size() || !archivo.commit())
        fallaImpresora(QStringLiteral("No se pudo escribir ") + ruta + QStringLiteral(": ") + archivo.errorString());
}

bool carpetaUtilizable(const QDir& carpeta) {
    const QFileInfo info(carpeta.absolutePath());
    return info.isDir() && info.isWritable();
}

/// The first n from desde up for which none of the given suffixes exists yet.
int siguienteNumero(const QDir& carpeta, const QString& base, const QStringList& sufijos, int desde) {
    for (int n = desde;; ++n) {
        bool libre = true;
        for (const QString& s : sufijos)
            libre = libre && !carpeta.exists(base + QString::number(n) + s);
        if (libre)
            return n;
    }
}

class SalidaPdf : public SalidaImpresora {
public:
    SalidaPdf(QString nombre, const QDir& carpeta, const FormatoRollo& formato)
        : m_nombre(std::move(nombre)), m_carpeta(carpeta), m_formato(formato) {}

    QString nombre() override { return m_nombre; }

    void comprobar() override {
        if (!carpetaUtilizable(m_carpeta))
            fallaImpresora(QStringLiteral("No se puede escribir en la carpeta de salida ") + m_carpeta.absolutePath());
    }

    void entregar(const DocumentoGrabado& documento) override {
        comprobar();
        const QString base = nombreArchivo(m_nombre) + QLatin1Char('-');
        // Numbers only grow during a run, so a busy folder is not searched from 1 for every ticket.
        const int n = siguienteNumero(m_carpeta, base, {QStringLiteral(".pdf"), QStringLiteral(".txt")}, m_siguiente);
        m_siguiente = n + 1;
        const QString raiz = m_carpeta.filePath(base + QString::number(n));
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        escribirPdf(documento, buffer, m_formato, m_nombre);
        QByteArray texto = transcribir(documento).join(QLatin1Char('\n')).toUtf8();
        texto += '\n';
        guardar(raiz + QStringLiteral(".txt"), texto);
        guardar(raiz + QStringLiteral(".pdf"), pdf);
    }

private:
    QString m_nombre;
    QDir m_carpeta;
    FormatoRollo m_formato;
    int m_siguiente = 1;
};

} // namespace

SistemaVirtual::SistemaVirtual(const QStringList& nombres, const QString& carpetaSalida, FormatoRollo formato)
    : m_carpeta(carpetaSalida), m_formato(formato), m_ninguna(std::make_unique<ImpresoraAusente>()) {
    for (const QString& n : nombres) {
        const QString limpio = n.trimmed();
        if (!limpio.isEmpty() && indiceDe(limpio) < 0)
            m_nombres << limpio;
    }
    // A folder that cannot be made shows up as a failed probe on the first document, not as a crash here.
    QDir().mkpath(m_carpeta.absolutePath());
    for (const QString& n : std::as_const(m_nombres))
        m_impresoras.push_back(
            std::make_unique<ImpresoraQt>(std::make_unique<SalidaPdf>(n, m_carpeta, m_formato), m_fuentes));
}

SistemaVirtual::~SistemaVirtual() = default;

int SistemaVirtual::indiceDe(const QString& nombre) const {
    return buscarImpresora(m_nombres, nombre);
}

void SistemaVirtual::seleccionar(int indice) {
    if (indice < 0 || indice >= static_cast<int>(m_impresoras.size()))
        throw FalloPlataforma::estandar(numerofallo::fueraDeIntervalo);
    m_actual = indice;
}

Impresora& SistemaVirtual::actual() {
    if (m_impresoras.empty())
        return *m_ninguna;
    return *m_impresoras[static_cast<std::size_t>(m_actual)];
}

void SistemaVirtual::escribirCrudo(const QString& impresora, const QByteArray& datos) {
    const int i = indiceDe(impresora);
    if (i < 0)
        fallaImpresora(QStringLiteral("La impresora ") + impresora + QStringLiteral(" no esta instalada"));
    if (!carpetaUtilizable(m_carpeta))
        fallaImpresora(QStringLiteral("No se puede escribir en la carpeta de salida ") + m_carpeta.absolutePath());
    const QString base = nombreArchivo(m_nombres[i]) + QStringLiteral("-cajon-");
    int& siguiente = m_siguienteCajon[m_nombres[i]];
    const int n = siguienteNumero(m_carpeta, base, {QStringLiteral(".bin")}, std::max(siguiente, 1));
    guardar(m_carpeta.filePath(base + QString::number(n) + QStringLiteral(".bin")), datos);
    siguiente = n + 1;
}

QSize SistemaVirtual::tamanoImagen(const QString& ruta) {
    return tamanoNaturalImagen(ruta);
}

void SistemaVirtual::sondearEstados() {
    for (const QString& nombre : std::as_const(m_nombres))
        avisarEstado({nombre, ClaseImpresora::Virtual, carpeta(), EstadoImpresora::Lista});
}

} // namespace kestrel
