#include "print/trabajo.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include "json/fallo.h"
#include "json/volcado.h"
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
//   ["tamano",10] ["fuente","Courier"] ["negrita",true] ["enfasis",false] ["imagen",huella,x,y,ancho,alto]
//   ["linea",[["t","texto"],["n","12.5"],["c",5]]] and, when the line does not end, ["linea",[...],false]
void textoJson(QString& salida, QStringView texto) {
    salida.append(u'"').append(escaparJson(texto)).append(u'"');
}

void numeroJson(QString& salida, double numero) {
    salida.append(QString::number(numero, 'g', QLocale::FloatingPointShortest));
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
    Operacion op;
    op.tipo = Operacion::Tipo::Tamano;
    op.numero[0] = static_cast<double>(puntos);
    m_operaciones.append(std::move(op));
}

void DocumentoTrabajo::fijarNombreFuente(const QString& nombre) {
    Operacion op;
    op.tipo = Operacion::Tipo::Fuente;
    op.texto = nombre;
    m_operaciones.append(std::move(op));
}

void DocumentoTrabajo::fijarNegrita(bool activa) {
    Operacion op;
    op.tipo = Operacion::Tipo::Negrita;
    op.activa = activa;
    m_operaciones.append(std::move(op));
}

void DocumentoTrabajo::fijarEnfasis(bool activo) {
    Operacion op;
    op.tipo = Operacion::Tipo::Enfasis;
    op.activa = activo;
    m_operaciones.append(std::move(op));
}

void DocumentoTrabajo::imprimir(const Linea& elementos, bool saltoLinea) {
    Operacion op;
    op.tipo = Operacion::Tipo::Renglon;
    op.linea = elementos;
    op.activa = saltoLinea;
    m_operaciones.append(std::move(op));
}

void DocumentoTrabajo::dibujarImagen(const QString& ruta, double x, double y, double ancho, double alto) {
    QFile archivo(ruta);
    const QByteArray datos = archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
    Operacion op;
    op.tipo = Operacion::Tipo::Imagen;
    op.texto = QString::fromLatin1(QCryptographicHash::hash(datos, QCryptographicHash::Sha256).toHex());
    op.numero[0] = x;
    op.numero[1] = y;
    op.numero[2] = ancho;
    op.numero[3] = alto;
    m_imagenes.insert(op.texto, datos);
    m_operaciones.append(std::move(op));
}

QStringList DocumentoTrabajo::huellas() const {
    QStringList h;
    for (const Operacion& op : m_operaciones) {
        if (op.tipo == Operacion::Tipo::Imagen && !h.contains(op.texto))
            h << op.texto;
    }
    return h;
}

QByteArray DocumentoTrabajo::aJson() const {
    static const char* const nombres[] = {"tamano", "fuente", "negrita", "enfasis", "linea", "imagen"};
    QString j = QStringLiteral("{\"operaciones\":[");
    j.reserve(64 * m_operaciones.size());
    for (qsizetype i = 0; i < m_operaciones.size(); ++i) {
        const Operacion& op = m_operaciones[i];
        if (i > 0)
            j.append(u',');
        j.append(u"[\"").append(QLatin1String(nombres[static_cast<int>(op.tipo)])).append(u"\",");
        switch (op.tipo) {
        case Operacion::Tipo::Tamano:
            numeroJson(j, op.numero[0]);
            break;
        case Operacion::Tipo::Fuente:
            textoJson(j, op.texto);
            break;
        case Operacion::Tipo::Negrita:
        case Operacion::Tipo::Enfasis:
            j.append(op.activa ? u"true" : u"false");
            break;
        case Operacion::Tipo::Renglon:
            j.append(u'[');
            for (qsizetype k = 0; k < op.linea.size(); ++k) {
                const ElementoLinea& e = op.linea[k];
                j.append(k > 0 ? u",[" : u"[");
                switch (e.tipo) {
                case ElementoLinea::Tipo::Texto:
                    j.append(u"\"t\",");
                    textoJson(j, e.texto);
                    break;
                case ElementoLinea::Tipo::Numero:
                    j.append(u"\"n\",");
                    textoJson(j, e.numero.aTexto());
                    break;
                case ElementoLinea::Tipo::Columna:
                    j.append(u"\"c\",").append(QString::number(e.columna));
                    break;
                }
                j.append(u']');
            }
            j.append(op.activa ? u"]" : u"],false");
            break;
        case Operacion::Tipo::Imagen:
            textoJson(j, op.texto);
            for (double n : op.numero) {
                j.append(u',');
                numeroJson(j, n);
            }
            break;
        }
        j.append(u']');
    }
    j.append(u']');
    if (!m_crudo.isEmpty())
        j.append(u",\"crudo\":\"").append(QString::fromLatin1(m_crudo.toBase64())).append(u'"');
    j.append(u'}');
    return j.toUtf8();
}

std::optional<DocumentoTrabajo::Operacion> DocumentoTrabajo::operacionDe(const QJsonArray& a) {
    const QString nombre = a.at(0).toString();
    Operacion op;
    if (nombre == QLatin1String("tamano")) {
        op.tipo = Operacion::Tipo::Tamano;
        op.numero[0] = a.at(1).toDouble();
    } else if (nombre == QLatin1String("fuente")) {
        op.tipo = Operacion::Tipo::Fuente;
        op.texto = a.at(1).toString();
    } else if (nombre == QLatin1String("negrita") || nombre == QLatin1String("enfasis")) {
        op.tipo = nombre == QLatin1String("negrita") ? Operacion::Tipo::Negrita : Operacion::Tipo::Enfasis;
        op.activa = a.at(1).toBool();
    } else if (nombre == QLatin1String("linea")) {
        op.linea = lineaDe(a.at(1).toArray());
        op.activa = a.at(2).toBool(true);
    } else if (nombre == QLatin1String("imagen")) {
        op.tipo = Operacion::Tipo::Imagen;
        op.texto = a.at(1).toString();
        for (int i = 0; i < 4; ++i)
            op.numero[i] = a.at(2 + i).toDouble();
    } else {
        return std::nullopt;
    }
    return op;
}

std::optional<DocumentoTrabajo> DocumentoTrabajo::deJson(const QByteArray& json) {
    const QJsonDocument d = QJsonDocument::fromJson(json);
    if (!d.isObject())
        return std::nullopt;
    DocumentoTrabajo doc;
    for (const QJsonValue& v : d.object().value(QStringLiteral("operaciones")).toArray()) {
        // A call this version does not know is skipped, as the replay always did.
        if (std::optional<Operacion> op = operacionDe(v.toArray()))
            doc.m_operaciones.append(std::move(*op));
    }
    doc.m_crudo = QByteArray::fromBase64(d.object().value(QStringLiteral("crudo")).toString().toLatin1());
    return doc;
}

void DocumentoTrabajo::reproducir(Impresora& impresora, const QString& carpeta) const {
    for (const Operacion& op : m_operaciones) {
        switch (op.tipo) {
        case Operacion::Tipo::Tamano:
            impresora.fijarTamanoFuente(static_cast<float>(op.numero[0]));
            break;
        case Operacion::Tipo::Fuente:
            impresora.fijarNombreFuente(op.texto);
            break;
        case Operacion::Tipo::Negrita:
            impresora.fijarNegrita(op.activa);
            break;
        case Operacion::Tipo::Enfasis:
            impresora.fijarEnfasis(op.activa);
            break;
        case Operacion::Tipo::Renglon:
            impresora.imprimir(op.linea, op.activa);
            break;
        case Operacion::Tipo::Imagen: {
            if (carpeta.isEmpty())
                break;
            const QString ruta = QDir(carpeta).filePath(op.texto);
            if (!QFile::exists(ruta)) {
                QFile archivo(ruta);
                if (!m_imagenes.contains(op.texto) || !archivo.open(QIODevice::WriteOnly) ||
                    archivo.write(m_imagenes.value(op.texto)) < 0)
                    throw FalloPlataforma(numerofallo::imagenNoValida,
                                          QStringLiteral("Imagen no disponible: ") + op.texto);
            }
            impresora.dibujarImagen(ruta, op.numero[0], op.numero[1], op.numero[2], op.numero[3]);
            break;
        }
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
