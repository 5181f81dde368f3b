#include "app/vista_previa.h"

#include "app/despachador.h"
#include "json/fallo.h"
#include "print/documentos_impresion.h"
#include "print/qt/sistemas.h"

namespace kestrel {

/// The print module's renderers, noting a failure in the transcript before the dispatcher logs it.
class VistaPrevia::Documentos : public DocumentosImpresion {
public:
    Documentos(ContextoImpresion& ctx, VistaPrevia& vista) : DocumentosImpresion(ctx), m_vista(vista) {}

    void imprimirComanda(Collection& comandas) override {
        anotarFallo([&] { DocumentosImpresion::imprimirComanda(comandas); });
    }
    void imprimirFactura(const Valor& dato) override {
        anotarFallo([&] { DocumentosImpresion::imprimirFactura(dato); });
    }
    void imprimirAnulacion(Collection& anulaciones) override {
        anotarFallo([&] { DocumentosImpresion::imprimirAnulacion(anulaciones); });
    }
    void abrirCajon() override {
        anotarFallo([&] { DocumentosImpresion::abrirCajon(); });
    }

private:
    void anotarFallo(const std::function<void()>& imprimir) {
        try {
            imprimir();
        } catch (const FalloPlataforma& f) {
            m_vista.m_escritor(CanalTranscripcion::suceso,
                               QStringLiteral("~ fallo %1: %2").arg(f.numero()).arg(f.descripcion()));
            throw;
        }
    }

    VistaPrevia& m_vista;
};

VistaPrevia::VistaPrevia(const OpcionesVistaPrevia& opciones, Escritor escritor, bool anotado)
    : m_impresoras(opciones.impresoras), m_escritor(std::move(escritor)),
      m_sistema(opciones.impresoras,
                opciones.predeterminada.isEmpty() ? opciones.impresoras.value(0) : opciones.predeterminada),
      m_ctx(m_sistema, *this, opciones.carpeta) {
    for (const QString& n : opciones.averiadas)
        m_sistema.fijarAveriada(n);
    // The same measure as the real printers: by content, the resolution the file states, 96 dpi otherwise.
    m_sistema.fijarMedidorImagenes(tamanoImagenNatural);
    m_sistema.fijarAlTerminar([this, anotado](const DocumentoVista& d) {
        m_escritor(CanalTranscripcion::documento, QStringLiteral("=== %1 ===").arg(d.impresora));
        for (const QString& l : d.texto(anotado))
            m_escritor(CanalTranscripcion::documento, l);
    });
    m_sistema.fijarAlEscribirCrudo([this](const EscrituraCruda& e) {
        m_escritor(
            CanalTranscripcion::suceso,
            QStringLiteral("~ crudo %1: %2").arg(e.impresora, QString::fromLatin1(e.datos.toHex(' ').toUpper())));
    });
    m_ctx.propinaCupon = opciones.propinaCupon;
    m_ctx.reloj = opciones.reloj;
    m_ctx.cederEventos = [this] {
        auto* vista = dynamic_cast<ImpresoraVistaTexto*>(&m_ctx.impresora());
        m_escritor(
            CanalTranscripcion::suceso,
            QStringLiteral("~ cede eventos con %1 lineas abiertas").arg(vista ? vista->documentoAbierto().size() : -1));
    };
    m_documentos = std::make_unique<Documentos>(m_ctx, *this);
    m_despachador = std::make_unique<Despachador>(
        *m_documentos, [this](const QString& l) { m_escritor(CanalTranscripcion::despachador, l); });
}

VistaPrevia::~VistaPrevia() = default;

void VistaPrevia::procesarMensaje(const QString& mensaje) {
    m_despachador->procesarMensaje(mensaje);
    // Whatever is still open on a printer would go out glued to the front of its next document.
    for (const QString& n : std::as_const(m_impresoras)) {
        if (!m_sistema.impresora(n)->documentoAbierto().isEmpty())
            m_escritor(CanalTranscripcion::suceso, QStringLiteral("~ abierto en ") + n);
    }
}

void VistaPrevia::mostrarGlobo(const QString& mensaje, int icono, const QString& titulo, int tiempoMs) {
    QString texto = mensaje;
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n"));
    m_escritor(
        CanalTranscripcion::suceso,
        QStringLiteral("~ globo %1 %2 \"%3\": %4").arg(nombreIconoGlobo(icono)).arg(tiempoMs).arg(titulo, texto));
}

void VistaPrevia::registrar(const QString& entrada) {
    m_escritor(CanalTranscripcion::suceso, QStringLiteral("~ registro ") + entrada);
}

} // namespace kestrel
