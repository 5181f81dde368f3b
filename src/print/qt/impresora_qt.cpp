#include "print/qt/impresora_qt.h"

#include "print/qt/imagen.h"

namespace kestrel {

ImpresoraQt::ImpresoraQt(std::unique_ptr<SalidaImpresora> salida, CatalogoFuentes& fuentes, QLocale locale)
    : m_salida(std::move(salida)), m_fuentes(fuentes), m_locale(std::move(locale)), m_documento(m_locale) {
    documentoNuevo();
}

void ImpresoraQt::documentoNuevo() {
    m_documento = DocumentoGrabado(m_locale);
    // The font carried over from the last document opens the new one, so a replay starts from it.
    m_documento.fijarFuente(m_estilo);
}

QString ImpresoraQt::nombreDispositivo() const {
    return m_salida->nombre();
}

void ImpresoraQt::cambiarEstilo(const EstiloFuente& estilo) {
    m_estilo = estilo;
    m_documento.fijarFuente(m_estilo);
}

void ImpresoraQt::fijarTamanoFuente(float puntos) {
    EstiloFuente e = m_estilo;
    e.puntos = puntos;
    cambiarEstilo(e);
}

void ImpresoraQt::fijarNombreFuente(const QString& nombre) {
    EstiloFuente e = m_estilo;
    e.nombre = nombre;
    cambiarEstilo(e);
}

void ImpresoraQt::fijarNegrita(bool activa) {
    EstiloFuente e = m_estilo;
    e.negrita = activa;
    cambiarEstilo(e);
}

void ImpresoraQt::fijarEnfasis(bool activo) {
    EstiloFuente e = m_estilo;
    e.enfasis = activo;
    cambiarEstilo(e);
}

void ImpresoraQt::imprimir(const Linea& elementos, bool saltoLinea) {
    m_documento.imprimir(elementos, saltoLinea, fuente());
}

double ImpresoraQt::anchoTexto(const QString& texto) {
    return fuente().anchoTexto(texto);
}

double ImpresoraQt::altoTexto(const QString&) {
    return fuente().alto;
}

void ImpresoraQt::dibujarImagen(const QString& ruta, double x, double y, double ancho, double alto) {
    m_documento.dibujarImagen(ruta, cargarImagen(ruta), QRectF(x, y, ancho, alto));
}

void ImpresoraQt::sondear() {
    m_salida->comprobar();
}

void ImpresoraQt::finDocumento() {
    DocumentoGrabado documento = std::move(m_documento);
    documentoNuevo();
    // A document with nothing on it sends no job: there is no blank ticket to cut.
    if (!documento.vacio())
        m_salida->entregar(documento);
}

void ImpresoraQt::descartarDocumento() {
    documentoNuevo();
}

} // namespace kestrel
