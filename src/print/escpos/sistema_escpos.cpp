#include "print/escpos/sistema_escpos.h"

#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include <QImage>
#include <QImageReader>
#include <QDeadlineTimer>
#include <QObject>

#include "json/fallo.h"
#include "print/escpos/codificador.h"
#include "print/seleccion.h"
#include "print/vista_texto.h"

namespace kestrel {

namespace {

/// Finished jobs nobody asks about (no follow-up) are forgotten beyond this many.
constexpr std::size_t trabajosRecordados = 1000;

class SistemaEscpos;

/// A receipt printer: the text view lays the document out (measures, columns, numbers), the encoder turns
/// it into the printer's bytes at the end.
class ImpresoraEscpos : public Impresora {
public:
    ImpresoraEscpos(SistemaEscpos& sistema, DestinoEscpos destino);

    const DestinoEscpos& destino() const { return m_destino; }

    QString nombreDispositivo() const override { return m_destino.nombre; }
    float tamanoFuente() const override { return m_vista.tamanoFuente(); }
    void fijarTamanoFuente(float puntos) override { m_vista.fijarTamanoFuente(puntos); }
    QString nombreFuente() const override { return m_vista.nombreFuente(); }
    void fijarNombreFuente(const QString& nombre) override { m_vista.fijarNombreFuente(nombre); }
    bool negrita() const override { return m_vista.negrita(); }
    void fijarNegrita(bool activa) override { m_vista.fijarNegrita(activa); }
    void fijarEnfasis(bool activo) override { m_vista.fijarEnfasis(activo); }
    void imprimir(const Linea& elementos, bool saltoLinea = true) override { m_vista.imprimir(elementos, saltoLinea); }
    double anchoTexto(const QString& texto) override { return m_vista.anchoTexto(texto); }
    double altoTexto(const QString& texto) override { return m_vista.altoTexto(texto); }
    void dibujarImagen(const QString& ruta, double x, double y, double ancho, double alto) override;
    void sondear() override;
    void cerrarSondeo() override {}
    void finDocumento() override;
    void descartarDocumento() override;

private:
    SistemaEscpos& m_sistema;
    DestinoEscpos m_destino;
    ImpresoraVistaTexto m_vista;
    /// The pictures of the open document, in the order of its picture lines.
    QList<QImage> m_imagenes;
    QList<LineaVista> m_terminado;
};

class SistemaEscpos : public SistemaImpresion {
public:
    SistemaEscpos(std::unique_ptr<SistemaImpresion> interno, const QList<DestinoEscpos>& impresoras,
                  std::unique_ptr<SistemaImpresion> colasCups, LimitesEscpos limites);

    /// Hands bytes to the printer: queued for its thread, or a raw job of its CUPS queue.
    void entregar(const DestinoEscpos& destino, const QByteArray& datos);
    void sondear(const DestinoEscpos& destino);

    QStringList impresoras() override;
    QString predeterminada() override { return m_interno->predeterminada(); }
    void seleccionar(int indice) override;
    Impresora& actual() override;
    void escribirCrudo(const QString& impresora, const QByteArray& datos) override;
    QSize tamanoImagen(const QString& ruta) override { return m_interno->tamanoImagen(ruta); }
    qint64 tomarTrabajo() override;
    void consultarTrabajo(const QString& impresora, qint64 trabajo,
                          std::function<void(const EstadoCola&)> respuesta) override;
    void cancelarTrabajo(const QString& impresora, qint64 trabajo) override;
    bool responde(const QString& impresora) override;
    std::optional<qint64> trabajoEnDuda(const QString& impresora) override;
    void observarEstados(std::function<void(const LecturaImpresora&)> observador) override;
    void sondearEstados() override;

private:
    /// A state heard from interno or the raw queues' system: the ESC/POS printers on a queue of that name take
    /// it as theirs, and a printer of interno replaced by an ESC/POS one is left out.
    void lecturaInterna(const LecturaImpresora& lectura, bool deInterno);
    /// A receipt printer's status, heard on the printers' thread around a job or probe.
    void lecturaEscpos(const QString& direccion, const QString& motivo, const std::optional<EstadoEscpos>& estado);

    ImpresoraEscpos* escpos(const QString& nombre);
    SistemaImpresion& colas() { return m_colas ? *m_colas : *m_interno; }

    std::unique_ptr<SistemaImpresion> m_interno;
    std::unique_ptr<SistemaImpresion> m_colas;
    std::vector<std::unique_ptr<ImpresoraEscpos>> m_escpos;
    /// For each entry of the last list: an index into interno's list, or -1 - an index into m_escpos.
    std::vector<int> m_origen;
    bool m_listaLeida = false;
    /// After a selection: the chosen ESC/POS printer, or null for interno's current one.
    bool m_elegida = false;
    ImpresoraEscpos* m_actual = nullptr;
    /// Before any selection: whether the default is an ESC/POS printer, asked once per printer list.
    std::optional<ImpresoraEscpos*> m_inicial;
    /// How the ESC/POS jobs stand, by number, until the follow-up hears the end.
    std::map<qint64, EstadoCola> m_trabajos;
    /// Printers whose last probe got no connection, until they may be probed again: each probe of a printer
    /// that is off waits the connection limit on the caller's thread.
    std::map<QString, QDeadlineTimer> m_sinRespuesta;
    qint64 m_siguiente = 0;
    qint64 m_ultimo = 0;
    /// Addresses with a poll queued and not answered yet: a printer that does not answer gets one at a time,
    /// so polls never pile up in front of its documents.
    std::set<QString> m_consultando;
    /// Where the printers' thread delivers the ends of jobs; made before the thread, so it outlives it.
    QObject m_receptor;
    HiloEscpos m_hilo;
};

ImpresoraEscpos::ImpresoraEscpos(SistemaEscpos& sistema, DestinoEscpos destino)
    : m_sistema(sistema), m_destino(std::move(destino)), m_vista(m_destino.nombre) {
    // dibujarImagen has read the picture already; the text view only records where it goes.
    m_vista.fijarMedidorImagenes([](const QString&) { return QSize(); });
    m_vista.fijarAlTerminar([this](const DocumentoVista& d) { m_terminado = d.lineas; });
}

void ImpresoraEscpos::dibujarImagen(const QString& ruta, double x, double y, double ancho, double alto) {
    // By content, as every other printer reads it: a "logo.bmp" may hold a PNG.
    QImageReader lector(ruta);
    lector.setDecideFormatFromContent(true);
    lector.setAutoTransform(true);
    QImage imagen = lector.read();
    if (imagen.isNull())
        throw FalloPlataforma(numerofallo::imagenNoValida, QStringLiteral("Imagen no válida: ") + ruta);
    m_vista.dibujarImagen(ruta, x, y, ancho, alto);
    m_imagenes.append(std::move(imagen));
}

void ImpresoraEscpos::sondear() {
    m_sistema.sondear(m_destino);
}

void ImpresoraEscpos::finDocumento() {
    m_vista.finDocumento();
    m_vista.olvidarDocumentos();
    const QList<QImage> imagenes = std::exchange(m_imagenes, {});
    const QList<LineaVista> lineas = std::exchange(m_terminado, {});
    // A document with nothing on it sends no job: there is no blank ticket to cut.
    if (!lineas.isEmpty())
        m_sistema.entregar(m_destino, codificarDocumento(lineas, imagenes, m_destino.puntosAncho));
}

void ImpresoraEscpos::descartarDocumento() {
    m_vista.descartarDocumento();
    m_imagenes.clear();
}

SistemaEscpos::SistemaEscpos(std::unique_ptr<SistemaImpresion> interno, const QList<DestinoEscpos>& impresoras,
                             std::unique_ptr<SistemaImpresion> colasCups, LimitesEscpos limites)
    : m_interno(std::move(interno)), m_colas(std::move(colasCups)), m_hilo(limites) {
    m_hilo.fijarAlLeerEstado(
        [this](const DestinoEscpos& d, const QString& motivo, const std::optional<EstadoEscpos>& estado) {
            QMetaObject::invokeMethod(
                &m_receptor,
                [this, direccion = d.direccion(), motivo, estado] { lecturaEscpos(direccion, motivo, estado); },
                Qt::QueuedConnection);
        });
    for (const DestinoEscpos& d : impresoras) {
        if (escpos(d.nombre)) {
            qCWarning(registroEscpos) << "Impresora ESC/POS repetida, se usa la primera:" << d.nombre << d.direccion();
            continue;
        }
        m_escpos.push_back(std::make_unique<ImpresoraEscpos>(*this, d));
    }
}

ImpresoraEscpos* SistemaEscpos::escpos(const QString& nombre) {
    for (const auto& i : m_escpos) {
        if (mismaImpresora(i->destino().nombre, nombre))
            return i.get();
    }
    return nullptr;
}

QStringList SistemaEscpos::impresoras() {
    QStringList lista = m_interno->impresoras();
    m_origen.resize(static_cast<std::size_t>(lista.size()));
    for (std::size_t i = 0; i < m_origen.size(); ++i)
        m_origen[i] = static_cast<int>(i);
    for (std::size_t k = 0; k < m_escpos.size(); ++k) {
        const QString& nombre = m_escpos[k]->destino().nombre;
        const int origen = -1 - static_cast<int>(k);
        const int i = buscarImpresora(lista, nombre);
        if (i >= 0) {
            lista[i] = nombre;
            m_origen[static_cast<std::size_t>(i)] = origen;
        } else {
            lista.append(nombre);
            m_origen.push_back(origen);
        }
    }
    m_listaLeida = true;
    m_inicial.reset();
    return lista;
}

void SistemaEscpos::seleccionar(int indice) {
    if (!m_listaLeida)
        impresoras();
    if (indice < 0 || indice >= static_cast<int>(m_origen.size()))
        throw FalloPlataforma::estandar(numerofallo::fueraDeIntervalo);
    const int origen = m_origen[static_cast<std::size_t>(indice)];
    if (origen < 0) {
        m_actual = m_escpos[static_cast<std::size_t>(-1 - origen)].get();
    } else {
        m_interno->seleccionar(origen);
        m_actual = nullptr;
        // What that printer ends next is interno's job, not an earlier ESC/POS one.
        m_ultimo = 0;
    }
    m_elegida = true;
}

Impresora& SistemaEscpos::actual() {
    if (m_elegida)
        return m_actual ? static_cast<Impresora&>(*m_actual) : m_interno->actual();
    if (!m_inicial && !m_escpos.empty()) {
        try {
            m_inicial = escpos(m_interno->predeterminada());
        } catch (const FalloPlataforma&) {
            // The default cannot be read now: interno's current printer says so when it is used.
        }
    }
    if (m_inicial && *m_inicial)
        return **m_inicial;
    return m_interno->actual();
}

void SistemaEscpos::entregar(const DestinoEscpos& destino, const QByteArray& datos) {
    if (destino.tipo == DestinoEscpos::Tipo::Cups) {
        colas().escribirCrudo(destino.ruta, datos);
        m_ultimo = colas().tomarTrabajo();
        return;
    }
    const qint64 trabajo = ++m_siguiente;
    m_trabajos[trabajo] = EstadoCola{};
    while (m_trabajos.size() > trabajosRecordados)
        m_trabajos.erase(m_trabajos.begin());
    m_hilo.enviar(destino, trabajo, datos, [this, trabajo](const QString& motivo) {
        QMetaObject::invokeMethod(
            &m_receptor,
            [this, trabajo, motivo] {
                const auto it = m_trabajos.find(trabajo);
                if (it != m_trabajos.end())
                    it->second = {motivo.isEmpty() ? EstadoCola::Fin::Impreso : EstadoCola::Fin::Fallido, motivo};
            },
            Qt::QueuedConnection);
    });
    m_ultimo = trabajo;
}

void SistemaEscpos::sondear(const DestinoEscpos& destino) {
    // A CUPS queue's trouble shows in its jobs' states, which the follow-up reads.
    if (destino.tipo == DestinoEscpos::Tipo::Cups)
        return;
    const QString motivo = m_hilo.sondear(destino);
    // A printer that takes no connection may be off for a moment: nothing definite was said about its paper.
    const bool sinRespuesta = motivo == QLatin1String("no responde");
    if (sinRespuesta)
        m_sinRespuesta[destino.nombre] = QDeadlineTimer(std::chrono::seconds(5));
    else
        m_sinRespuesta.erase(destino.nombre);
    if (!motivo.isEmpty())
        throw FalloPlataforma(sinRespuesta ? numerofallo::dispositivoNoDisponible : numerofallo::errorImpresora,
                              destino.nombre + QStringLiteral(": ") + motivo);
}

void SistemaEscpos::escribirCrudo(const QString& impresora, const QByteArray& datos) {
    if (ImpresoraEscpos* i = escpos(impresora)) {
        entregar(i->destino(), datos);
        return;
    }
    m_ultimo = 0;
    m_interno->escribirCrudo(impresora, datos);
}

qint64 SistemaEscpos::tomarTrabajo() {
    const qint64 propio = std::exchange(m_ultimo, 0);
    const qint64 deInterno = m_interno->tomarTrabajo();
    return propio != 0 ? propio : deInterno;
}

void SistemaEscpos::consultarTrabajo(const QString& impresora, qint64 trabajo,
                                     std::function<void(const EstadoCola&)> respuesta) {
    ImpresoraEscpos* i = escpos(impresora);
    if (!i) {
        m_interno->consultarTrabajo(impresora, trabajo, std::move(respuesta));
        return;
    }
    if (i->destino().tipo == DestinoEscpos::Tipo::Cups) {
        colas().consultarTrabajo(i->destino().ruta, trabajo, std::move(respuesta));
        return;
    }
    EstadoCola estado{EstadoCola::Fin::Fallido, QStringLiteral("trabajo desconocido")};
    const auto it = m_trabajos.find(trabajo);
    if (it != m_trabajos.end()) {
        estado = it->second;
        if (estado.fin != EstadoCola::Fin::Pendiente)
            m_trabajos.erase(it);
    }
    // Later, as a spooler's answer comes: the caller may be walking its own list of jobs right now.
    QMetaObject::invokeMethod(
        &m_receptor, [respuesta = std::move(respuesta), estado] { respuesta(estado); }, Qt::QueuedConnection);
}

void SistemaEscpos::cancelarTrabajo(const QString& impresora, qint64 trabajo) {
    ImpresoraEscpos* i = escpos(impresora);
    if (!i) {
        m_interno->cancelarTrabajo(impresora, trabajo);
    } else if (i->destino().tipo == DestinoEscpos::Tipo::Cups) {
        colas().cancelarTrabajo(i->destino().ruta, trabajo);
    } else {
        m_trabajos.erase(trabajo);
        m_hilo.cancelar(i->destino(), trabajo);
    }
}

bool SistemaEscpos::responde(const QString& impresora) {
    ImpresoraEscpos* i = escpos(impresora);
    if (!i)
        return m_interno->responde(impresora);
    if (i->destino().tipo == DestinoEscpos::Tipo::Cups)
        return colas().responde(i->destino().ruta);
    const auto it = m_sinRespuesta.find(i->destino().nombre);
    return it == m_sinRespuesta.end() || it->second.hasExpired();
}

std::optional<qint64> SistemaEscpos::trabajoEnDuda(const QString& impresora) {
    ImpresoraEscpos* i = escpos(impresora);
    if (!i)
        return m_interno->trabajoEnDuda(impresora);
    // Only a raw queue's job can outlive its sender; the printers' own thread reports every job's end.
    return i->destino().tipo == DestinoEscpos::Tipo::Cups ? colas().trabajoEnDuda(i->destino().ruta) : 0;
}

void SistemaEscpos::observarEstados(std::function<void(const LecturaImpresora&)> observador) {
    SistemaImpresion::observarEstados(std::move(observador));
    m_interno->observarEstados([this](const LecturaImpresora& l) { lecturaInterna(l, true); });
    if (m_colas)
        m_colas->observarEstados([this](const LecturaImpresora& l) { lecturaInterna(l, false); });
}

void SistemaEscpos::sondearEstados() {
    m_interno->sondearEstados();
    bool colasCups = false;
    for (const auto& i : m_escpos) {
        if (i->destino().tipo == DestinoEscpos::Tipo::Cups)
            colasCups = true;
        else if (m_consultando.insert(i->destino().direccion()).second)
            m_hilo.consultar(i->destino());
    }
    if (colasCups && m_colas)
        m_colas->sondearEstados();
}

void SistemaEscpos::lecturaInterna(const LecturaImpresora& lectura, bool deInterno) {
    const bool todas = lectura.nombre.isEmpty();
    for (const auto& i : m_escpos) {
        const DestinoEscpos& d = i->destino();
        if (d.tipo == DestinoEscpos::Tipo::Cups && (todas || mismaImpresora(d.ruta, lectura.nombre)))
            avisarEstado({d.nombre, ClaseImpresora::Escpos, d.direccion(), lectura.estado});
    }
    if (deInterno && (todas || !escpos(lectura.nombre)))
        avisarEstado(lectura);
}

void SistemaEscpos::lecturaEscpos(const QString& direccion, const QString& motivo,
                                  const std::optional<EstadoEscpos>& estado) {
    m_consultando.erase(direccion);
    const EstadoImpresora e = estado ? estadoImpresoraEscpos(*estado) : estadoDeMotivo(motivo);
    // One printer may go by two names: each hears it.
    for (const auto& i : m_escpos) {
        if (i->destino().direccion() == direccion)
            avisarEstado({i->destino().nombre, ClaseImpresora::Escpos, direccion, e});
    }
}

} // namespace

std::unique_ptr<SistemaImpresion> crearSistemaEscpos(std::unique_ptr<SistemaImpresion> interno,
                                                     QList<DestinoEscpos> impresoras,
                                                     std::unique_ptr<SistemaImpresion> colasCups,
                                                     LimitesEscpos limites) {
    return std::make_unique<SistemaEscpos>(std::move(interno), impresoras, std::move(colasCups), limites);
}

} // namespace kestrel
