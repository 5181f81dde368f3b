#include "print/trabajo.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "json/fallo.h"
#include "print/vista_texto.h"

namespace kestrel {

namespace {

const QStringList& nombresTipos() {
    static const QStringList nombres{QStringLiteral("comanda"), QStringLiteral("anulacion"), QStringLiteral("factura"),
                                     QStringLiteral("cajon"), QStringLiteral("reimpresion")};
    return nombres;
}

const QStringList& nombresEstados() {
    static const QStringList nombres{QStringLiteral("enviando"), QStringLiteral("impreso"), QStringLiteral("reenviado"),
                                     QStringLiteral("fallido"), QStringLiteral("desconocido")};
    return nombres;
}

// Operations are short arrays, the first member naming the call: a journal keeps thousands of them.
QJsonArray operacion(const QString& nombre, const QJsonValue& valor) {
    return QJsonArray{nombre, valor};
}

QJsonArray elementosJson(const Linea& elementos) {
    QJsonArray items;
    for (const ElementoLinea& e : elementos) {
        switch (e.tipo) {
        case ElementoLinea::Tipo::Texto:
            items.append(QJsonArray{QStringLiteral("t"), e.texto});
            break;
        case ElementoLinea::Tipo::Numero:
            items.append(QJsonArray{QStringLiteral("n"), e.numero.aTexto()});
            break;
        case ElementoLinea::Tipo::Columna:
            items.append(QJsonArray{QStringLiteral("c"), e.columna});
            break;
        }
    }
    return items;
}

Linea lineaDe(const QJsonArray& items) {
    Linea linea;
    for (const QJsonValue& v : items) {
        const QJsonArray item = v.toArray();
        const QString clase = item.at(0).toString();
        if (clase == QLatin1String("n"))
            linea.append(
                ElementoLinea::deNumero(Decimal::desdeTextoInvariante(item.at(1).toString()).value_or(Decimal())));
        else if (clase == QLatin1String("c"))
            linea.append(ElementoLinea::deColumna(item.at(1).toInt()));
        else
            linea.append(ElementoLinea::deTexto(item.at(1).toString()));
    }
    return linea;
}

} // namespace

QString nombreTipoTrabajo(TipoTrabajo tipo) {
    return nombresTipos().value(static_cast<int>(tipo));
}

QString nombreEstadoTrabajo(EstadoTrabajo estado) {
    return nombresEstados().value(static_cast<int>(estado));
}

std::optional<TipoTrabajo> tipoTrabajoDe(const QString& nombre) {
    const qsizetype i = nombresTipos().indexOf(nombre);
    return i < 0 ? std::nullopt : std::optional(static_cast<TipoTrabajo>(i));
}

std::optional<EstadoTrabajo> estadoTrabajoDe(const QString& nombre) {
    const qsizetype i = nombresEstados().indexOf(nombre);
    return i < 0 ? std::nullopt : std::optional(static_cast<EstadoTrabajo>(i));
}

void DocumentoTrabajo::fijarTamanoFuente(float puntos) {
    m_operaciones.append(operacion(QStringLiteral("tamano"), static_cast<double>(puntos)));
}

void DocumentoTrabajo::fijarNombreFuente(const QString& nombre) {
    m_operaciones.append(operacion(QStringLiteral("fuente"), nombre));
}

void DocumentoTrabajo::fijarNegrita(bool activa) {
    m_operaciones.append(operacion(QStringLiteral("negrita"), activa));
}

void DocumentoTrabajo::fijarEnfasis(bool activo) {
    m_operaciones.append(operacion(QStringLiteral("enfasis"), activo));
}

void DocumentoTrabajo::imprimir(const Linea& elementos, bool saltoLinea) {
    QJsonArray op{QStringLiteral("linea"), elementosJson(elementos)};
    if (!saltoLinea)
        op.append(false);
    m_operaciones.append(op);
}

void DocumentoTrabajo::dibujarImagen(const QString& ruta, double x, double y, double ancho, double alto) {
    QFile archivo(ruta);
    const QByteArray datos = archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
    const QString huella = QString::fromLatin1(QCryptographicHash::hash(datos, QCryptographicHash::Sha256).toHex());
    m_imagenes.insert(huella, datos);
    m_operaciones.append(QJsonArray{QStringLiteral("imagen"), huella, x, y, ancho, alto});
}

QStringList DocumentoTrabajo::huellas() const {
    QStringList h;
    for (const QJsonValue& v : m_operaciones) {
        const QJsonArray op = v.toArray();
        if (op.at(0).toString() == QLatin1String("imagen") && !h.contains(op.at(1).toString()))
            h << op.at(1).toString();
    }
    return h;
}

QByteArray DocumentoTrabajo::aJson() const {
    QJsonObject o{{QStringLiteral("operaciones"), m_operaciones}};
    if (!m_crudo.isEmpty())
        o.insert(QStringLiteral("crudo"), QString::fromLatin1(m_crudo.toBase64()));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<DocumentoTrabajo> DocumentoTrabajo::deJson(const QByteArray& json) {
    const QJsonDocument d = QJsonDocument::fromJson(json);
    if (!d.isObject())
        return std::nullopt;
    DocumentoTrabajo doc;
    doc.m_operaciones = d.object().value(QStringLiteral("operaciones")).toArray();
    doc.m_crudo = QByteArray::fromBase64(d.object().value(QStringLiteral("crudo")).toString().toLatin1());
    return doc;
}

void DocumentoTrabajo::reproducir(Impresora& impresora, const QString& carpeta) const {
    for (const QJsonValue& v : m_operaciones) {
        const QJsonArray op = v.toArray();
        const QString nombre = op.at(0).toString();
        if (nombre == QLatin1String("tamano")) {
            impresora.fijarTamanoFuente(static_cast<float>(op.at(1).toDouble()));
        } else if (nombre == QLatin1String("fuente")) {
            impresora.fijarNombreFuente(op.at(1).toString());
        } else if (nombre == QLatin1String("negrita")) {
            impresora.fijarNegrita(op.at(1).toBool());
        } else if (nombre == QLatin1String("enfasis")) {
            impresora.fijarEnfasis(op.at(1).toBool());
        } else if (nombre == QLatin1String("linea")) {
            impresora.imprimir(lineaDe(op.at(1).toArray()), op.at(2).toBool(true));
        } else if (nombre == QLatin1String("imagen") && !carpeta.isEmpty()) {
            const QString huella = op.at(1).toString();
            const QString ruta = QDir(carpeta).filePath(huella);
            if (!QFile::exists(ruta)) {
                QFile archivo(ruta);
                if (!m_imagenes.contains(huella) || !archivo.open(QIODevice::WriteOnly) ||
                    archivo.write(m_imagenes.value(huella)) < 0)
                    throw FalloPlataforma(numerofallo::imagenNoValida,
                                          QStringLiteral("Imagen no disponible: ") + huella);
            }
            impresora.dibujarImagen(ruta, op.at(2).toDouble(), op.at(3).toDouble(), op.at(4).toDouble(),
                                    op.at(5).toDouble());
        }
    }
}

QStringList DocumentoTrabajo::vista() const {
    ImpresoraVistaTexto texto(QString{});
    reproducir(texto, {});
    QStringList lineas;
    for (const LineaVista& l : texto.documentoAbierto())
        lineas << l.comoAnotada();
    return lineas;
}

} // namespace kestrel
