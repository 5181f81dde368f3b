#include "print/vista_texto.h"

#include <cmath>

#include "json/fallo.h"
#include "json/formato_numero.h"
#include "print/impresora_ausente.h"

namespace kestrel {

namespace {

QString sinBlancosFinales(const QString& texto) {
    qsizetype fin = texto.size();
    while (fin > 0 && texto[fin - 1] == QLatin1Char(' '))
        --fin;
    return texto.left(fin);
}

} // namespace

QString LineaVista::comoAnotada() const {
    if (esImagen)
        return QStringLiteral("[imagen %1x%2 en %3,%4]").arg(ancho).arg(alto).arg(x).arg(y);
    QString prefijo = QLatin1Char('[') + QString::number(static_cast<double>(tamano));
    if (negrita)
        prefijo += QLatin1Char('B');
    prefijo += QLatin1String("] ");
    return sinBlancosFinales(prefijo + texto);
}

QStringList DocumentoVista::texto(bool anotado) const {
    QStringList salida;
    salida.reserve(lineas.size());
    for (const LineaVista& l : lineas) {
        if (anotado)
            salida << l.comoAnotada();
        else if (!l.esImagen)
            salida << l.texto;
    }
    return salida;
}

ImpresoraVistaTexto::ImpresoraVistaTexto(QString nombre, QLocale locale)
    : m_nombre(std::move(nombre)), m_locale(std::move(locale)) {}

void ImpresoraVistaTexto::terminarLinea() {
    LineaVista l;
    l.texto = sinBlancosFinales(m_linea);
    l.tamano = m_tamano;
    l.negrita = m_negrita;
    m_lineas.append(std::move(l));
    m_linea.clear();
    m_lineaEmpezada = false;
}

void ImpresoraVistaTexto::imprimir(const Linea& elementos, bool saltoLinea) {
    for (const ElementoLinea& e : elementos) {
        m_lineaEmpezada = true;
        switch (e.tipo) {
        case ElementoLinea::Tipo::Texto:
            m_linea += e.texto;
            break;
        case ElementoLinea::Tipo::Numero:
            m_linea += formato::textoImpresora(e.numero, m_locale);
            break;
        case ElementoLinea::Tipo::Columna: {
            const qsizetype antes = std::max(e.columna, 1) - 1;
            if (m_linea.size() > antes)
                terminarLinea();
            m_lineaEmpezada = true;
            if (m_linea.size() < antes)
                m_linea += QString(antes - m_linea.size(), QLatin1Char(' '));
            break;
        }
        }
    }
    if (saltoLinea)
        terminarLinea();
}

double ImpresoraVistaTexto::anchoTexto(const QString& texto) {
    return static_cast<double>(texto.size()) * static_cast<double>(m_tamano) * 12.0;
}

double ImpresoraVistaTexto::altoTexto(const QString&) {
    return static_cast<double>(m_tamano) * 24.0;
}

void ImpresoraVistaTexto::dibujarImagen(const QString& ruta, double x, double y, double ancho, double alto) {
    if (!m_medidor)
        throw FalloPlataforma(numerofallo::imagenNoValida, QStringLiteral("Imagen no válida: ") + ruta);
    // Measuring is what a real printer's load does: an unreadable picture fails here as it would there.
    m_medidor(ruta);
    LineaVista l;
    l.esImagen = true;
    l.x = static_cast<int>(std::lround(x));
    l.y = static_cast<int>(std::lround(y));
    l.ancho = static_cast<int>(std::lround(ancho));
    l.alto = static_cast<int>(std::lround(alto));
    m_lineas.append(std::move(l));
}

void ImpresoraVistaTexto::sondear() {
    if (m_averiada)
        throw FalloPlataforma(numerofallo::errorImpresora,
                              QStringLiteral("La impresora ") + m_nombre + QStringLiteral(" no acepta trabajos"));
}

QList<LineaVista> ImpresoraVistaTexto::documentoAbierto() const {
    QList<LineaVista> lineas = m_lineas;
    if (m_lineaEmpezada) {
        LineaVista l;
        l.texto = sinBlancosFinales(m_linea);
        l.tamano = m_tamano;
        l.negrita = m_negrita;
        lineas.append(std::move(l));
    }
    return lineas;
}

void ImpresoraVistaTexto::finDocumento() {
    if (m_lineaEmpezada)
        terminarLinea();
    if (m_lineas.isEmpty())
        return;
    DocumentoVista d{m_nombre, std::move(m_lineas)};
    m_lineas.clear();
    m_documentos.append(d);
    if (m_alTerminar)
        m_alTerminar(d);
}

void ImpresoraVistaTexto::descartarDocumento() {
    m_lineas.clear();
    m_linea.clear();
    m_lineaEmpezada = false;
}

SistemaVistaTexto::SistemaVistaTexto(const QStringList& nombres, const QString& predeterminada, QLocale locale)
    : m_locale(std::move(locale)), m_predeterminada(predeterminada), m_ninguna(std::make_unique<ImpresoraAusente>()) {
    for (const QString& n : nombres)
        agregarImpresora(n);
}

SistemaVistaTexto::~SistemaVistaTexto() = default;

void SistemaVistaTexto::conectar(ImpresoraVistaTexto& impresora) {
    impresora.fijarMedidorImagenes([this](const QString& ruta) { return tamanoImagen(ruta); });
    impresora.fijarAlTerminar([this](const DocumentoVista& d) {
        m_documentos.append(d);
        if (m_alTerminar)
            m_alTerminar(d);
    });
}

void SistemaVistaTexto::agregarImpresora(const QString& nombre) {
    m_impresoras.push_back(std::make_unique<ImpresoraVistaTexto>(nombre, m_locale));
    conectar(*m_impresoras.back());
}

void SistemaVistaTexto::fijarAveriada(const QString& nombre, bool averiada) {
    if (ImpresoraVistaTexto* i = impresora(nombre))
        i->fijarAveriada(averiada);
}

void SistemaVistaTexto::fijarMedidorImagenes(MedidorImagenes medidor) {
    m_medidor = std::move(medidor);
}

void SistemaVistaTexto::fijarAlTerminar(ImpresoraVistaTexto::AlTerminar alTerminar) {
    m_alTerminar = std::move(alTerminar);
}

ImpresoraVistaTexto* SistemaVistaTexto::impresora(const QString& nombre) {
    for (auto& i : m_impresoras) {
        if (i->nombre() == nombre)
            return i.get();
    }
    return nullptr;
}

QStringList SistemaVistaTexto::impresoras() {
    QStringList nombres;
    nombres.reserve(static_cast<qsizetype>(m_impresoras.size()));
    for (const auto& i : m_impresoras)
        nombres << i->nombre();
    return nombres;
}

void SistemaVistaTexto::seleccionar(int indice) {
    if (indice < 0 || indice >= static_cast<int>(m_impresoras.size()))
        throw FalloPlataforma::estandar(numerofallo::fueraDeIntervalo);
    m_actual = indice;
}

Impresora& SistemaVistaTexto::actual() {
    if (m_actual >= 0)
        return *m_impresoras[static_cast<std::size_t>(m_actual)];
    if (ImpresoraVistaTexto* i = impresora(m_predeterminada))
        return *i;
    return *m_ninguna;
}

void SistemaVistaTexto::escribirCrudo(const QString& nombre, const QByteArray& datos) {
    ImpresoraVistaTexto* i = impresora(nombre);
    if (!i)
        throw FalloPlataforma(numerofallo::errorImpresora,
                              QStringLiteral("La impresora ") + nombre + QStringLiteral(" no esta instalada"));
    i->sondear();
    EscrituraCruda e{nombre, datos};
    m_escrituras.append(e);
    if (m_alEscribir)
        m_alEscribir(e);
}

void SistemaVistaTexto::olvidarDocumentos() {
    m_documentos.clear();
    m_escrituras.clear();
    for (auto& i : m_impresoras)
        i->olvidarDocumentos();
}

QSize SistemaVistaTexto::tamanoImagen(const QString& ruta) {
    if (!m_medidor)
        throw FalloPlataforma(numerofallo::imagenNoValida, QStringLiteral("Imagen no válida: ") + ruta);
    return m_medidor(ruta);
}

} // namespace kestrel
