#include "print/qt/sistema_cups.h"

#include <QTimer>

#include "json/fallo.h"
#include "print/qt/cliente_cups.h"
#include "print/qt/imagen.h"
#include "print/qt/sistemas.h"

namespace kestrel {

namespace {

DestinosCups destinos(HiloCups& hilo) {
    // Shared with the task: a call abandoned on a wedged scheduler may still write its answer later.
    auto resultado = std::make_shared<DestinosCups>();
    const auto limite = hilo.limite();
    hilo.ejecutar([resultado, limite](const std::atomic_bool&) { *resultado = consultarDestinos(limite); });
    return *resultado;
}

/// A CUPS queue as a printer. nombre gives the queue's name at the moment it is used, which lets the
/// printer that is current before any selection follow CUPS's default.
class SalidaCups : public SalidaImpresora {
public:
    SalidaCups(std::shared_ptr<HiloCups> hilo, std::shared_ptr<std::atomic<qint64>> ultimo,
               std::shared_ptr<EnDuda> enDuda, std::function<QString()> nombre)
        : m_hilo(std::move(hilo)), m_ultimo(std::move(ultimo)), m_enDuda(std::move(enDuda)),
          m_nombre(std::move(nombre)) {}

    QString nombre() override { return m_nombre(); }

    void comprobar() override {
        const QString cola = nombre();
        const auto limite = m_hilo->limite();
        m_hilo->ejecutar([cola, limite](const std::atomic_bool&) { comprobarCola(cola, limite); });
    }

    void entregar(const DocumentoGrabado& documento) override {
        const QString cola = nombre();
        const QString titulo = QStringLiteral("Kestrel - ") + cola;
        const auto limite = m_hilo->limite();
        enviarSeguido(*m_hilo, *m_enDuda, cola, m_ultimo,
                      [=](std::atomic<qint64>* creado, const std::atomic_bool& abandonada) {
                          return imprimirEnCola(cola, documento, titulo, abandonada, limite, creado);
                      });
    }

private:
    std::shared_ptr<HiloCups> m_hilo;
    std::shared_ptr<std::atomic<qint64>> m_ultimo;
    std::shared_ptr<EnDuda> m_enDuda;
    std::function<QString()> m_nombre;
};

} // namespace

std::unique_ptr<SistemaImpresion> crearSistemaEquipo(std::chrono::milliseconds limite) {
    return std::make_unique<SistemaCups>(limite);
}

SistemaCups::SistemaCups(std::chrono::milliseconds limite)
    : m_hilo(std::make_shared<HiloCups>(limite, [limite] { consultarDestinos(limite); })) {
    auto salida =
        std::make_unique<SalidaCups>(m_hilo, m_ultimo, m_enDuda, [this] { return predeterminadaInstalada(); });
    m_inicial = std::make_unique<ImpresoraQt>(std::move(salida), m_fuentes);
}

QString SistemaCups::predeterminadaInstalada() {
    const QString nombre = predeterminada();
    if (nombre.isEmpty())
        throw FalloPlataforma(numerofallo::errorImpresora,
                              QStringLiteral("CUPS no tiene una impresora predeterminada"));
    return nombre;
}

SistemaCups::~SistemaCups() = default;

QStringList SistemaCups::impresoras() {
    m_lista = destinos(*m_hilo).nombres;
    m_listaLeida = true;
    return m_lista;
}

QString SistemaCups::predeterminada() {
    return destinos(*m_hilo).predeterminado;
}

ImpresoraQt& SistemaCups::impresoraLlamada(const QString& nombre) {
    auto it = m_impresoras.find(nombre);
    if (it == m_impresoras.end()) {
        auto salida = std::make_unique<SalidaCups>(m_hilo, m_ultimo, m_enDuda, [nombre] { return nombre; });
        it = m_impresoras.emplace(nombre, std::make_unique<ImpresoraQt>(std::move(salida), m_fuentes)).first;
    }
    return *it->second;
}

void SistemaCups::seleccionar(int indice) {
    if (!m_listaLeida)
        impresoras();
    if (indice < 0 || indice >= m_lista.size())
        throw FalloPlataforma::estandar(numerofallo::fueraDeIntervalo);
    m_actual = &impresoraLlamada(m_lista[indice]);
}

Impresora& SistemaCups::actual() {
    return m_actual ? static_cast<Impresora&>(*m_actual) : *m_inicial;
}

void SistemaCups::escribirCrudo(const QString& impresora, const QByteArray& datos) {
    const auto limite = m_hilo->limite();
    enviarSeguido(*m_hilo, *m_enDuda, impresora, m_ultimo, [=](std::atomic<qint64>* creado, const std::atomic_bool&) {
        return enviarCrudo(impresora, datos, limite, creado);
    });
}

std::optional<qint64> SistemaCups::trabajoEnDuda(const QString& impresora) {
    return tomarEnDuda(*m_enDuda, impresora);
}

qint64 SistemaCups::tomarTrabajo() {
    return m_ultimo->exchange(0);
}

void SistemaCups::consultarTrabajo(const QString& impresora, qint64 trabajo,
                                   std::function<void(const EstadoCola&)> respuesta) {
    const auto limite = m_hilo->limite();
    consultarEnHilo(
        *m_hilo, m_receptor,
        [impresora, trabajo, limite] { return consultarTrabajoCups(impresora, static_cast<int>(trabajo), limite); },
        std::move(respuesta));
}

bool SistemaCups::responde(const QString& impresora) {
    Q_UNUSED(impresora);
    return m_hilo->responde();
}

void SistemaCups::cancelarTrabajo(const QString& impresora, qint64 trabajo) {
    const auto limite = m_hilo->limite();
    m_hilo->ejecutar([impresora, trabajo, limite](const std::atomic_bool&) {
        cancelarTrabajoCups(impresora, static_cast<int>(trabajo), limite);
    });
}

QSize SistemaCups::tamanoImagen(const QString& ruta) {
    return tamanoNaturalImagen(ruta);
}

} // namespace kestrel
