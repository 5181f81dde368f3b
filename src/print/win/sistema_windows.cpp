#include "print/win/sistema_windows.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "json/fallo.h"
#include "print/qt/imagen.h"
#include "print/qt/pintor.h"
#include "print/qt/sistemas.h"
#include "print/win/spooler_win.h"

namespace kestrel {

namespace {

struct Instaladas {
    QStringList nombres;
    QString predeterminada;
};

Instaladas instaladas(HiloCups& hilo) {
    // Shared with the task: a call abandoned on a stuck spooler may still write its answer later.
    auto resultado = std::make_shared<Instaladas>();
    hilo.ejecutar([resultado](const std::atomic_bool&) {
        resultado->nombres = QPrinterInfo::availablePrinterNames();
        resultado->predeterminada = QPrinterInfo::defaultPrinterName();
    });
    return *resultado;
}

/// Paints the document on the printer's own driver. QPrinter never tells the job's number, so the job is
/// found again by its document name, unique to this agent; 0 when it already left the spooler.
qint64 imprimirEnImpresora(const QString& impresora, const DocumentoGrabado& documento, const QString& titulo,
                           const std::atomic_bool& abandonada, std::atomic<qint64>* creado) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(impresora);
    // A name Windows does not know leaves QPrinter on some other printer, or on none.
    if (printer.outputFormat() != QPrinter::NativeFormat || printer.printerName() != impresora || !printer.isValid())
        fallaImpresora(QStringLiteral("La impresora ") + impresora + QStringLiteral(" no existe en Windows"));
    printer.setDocName(titulo);
    printer.setCreator(QStringLiteral("Kestrel"));
    printer.setFullPage(false);
    if (abandonada)
        return 0;
    pintarEnImpresora(printer, documento, impresora);
    const qint64 trabajo = buscarTrabajoSpooler(impresora, titulo);
    creado->store(trabajo);
    return trabajo;
}

/// A Windows printer. nombre gives its name at the moment it is used, which lets the printer that is current
/// before any selection follow the Windows default.
class SalidaWindows : public SalidaImpresora {
public:
    SalidaWindows(std::shared_ptr<HiloCups> hilo, std::shared_ptr<std::atomic<qint64>> ultimo,
                  std::shared_ptr<EnDuda> enDuda, std::shared_ptr<std::atomic<qint64>> documentos,
                  std::function<QString()> nombre)
        : m_hilo(std::move(hilo)), m_ultimo(std::move(ultimo)), m_enDuda(std::move(enDuda)),
          m_documentos(std::move(documentos)), m_nombre(std::move(nombre)) {}

    QString nombre() override { return m_nombre(); }

    void comprobar() override {
        const QString impresora = nombre();
        m_hilo->ejecutar([impresora](const std::atomic_bool&) { comprobarImpresoraSpooler(impresora); });
    }

    void entregar(const DocumentoGrabado& documento) override {
        const QString impresora = nombre();
        const QString titulo = QStringLiteral("Kestrel - %1 - %2.%3")
                                   .arg(impresora)
                                   .arg(QCoreApplication::applicationPid())
                                   .arg(++*m_documentos);
        enviarSeguido(*m_hilo, *m_enDuda, impresora, m_ultimo,
                      [=](std::atomic<qint64>* creado, const std::atomic_bool& abandonada) {
                          return imprimirEnImpresora(impresora, documento, titulo, abandonada, creado);
                      });
    }

private:
    std::shared_ptr<HiloCups> m_hilo;
    std::shared_ptr<std::atomic<qint64>> m_ultimo;
    std::shared_ptr<EnDuda> m_enDuda;
    std::shared_ptr<std::atomic<qint64>> m_documentos;
    std::function<QString()> m_nombre;
};

} // namespace

std::unique_ptr<SistemaImpresion> crearSistemaEquipo(std::chrono::milliseconds limite) {
    return std::make_unique<SistemaWindows>(limite);
}

SistemaWindows::SistemaWindows(std::chrono::milliseconds limite)
    : m_hilo(std::make_shared<HiloCups>(
          limite, [] { tocarSpooler(); }, descripcionSpoolerNoResponde())) {
    auto salida = std::make_unique<SalidaWindows>(m_hilo, m_ultimo, m_enDuda, m_documentos,
                                                  [this] { return predeterminadaInstalada(); });
    m_inicial = std::make_unique<ImpresoraQt>(std::move(salida), m_fuentes);
}

SistemaWindows::~SistemaWindows() = default;

QString SistemaWindows::predeterminadaInstalada() {
    const QString nombre = predeterminada();
    if (nombre.isEmpty())
        throw FalloPlataforma(numerofallo::errorImpresora,
                              QStringLiteral("Windows no tiene una impresora predeterminada"));
    return nombre;
}

QStringList SistemaWindows::impresoras() {
    m_lista = instaladas(*m_hilo).nombres;
    m_listaLeida = true;
    return m_lista;
}

QString SistemaWindows::predeterminada() {
    return instaladas(*m_hilo).predeterminada;
}

ImpresoraQt& SistemaWindows::impresoraLlamada(const QString& nombre) {
    auto it = m_impresoras.find(nombre);
    if (it == m_impresoras.end()) {
        auto salida =
            std::make_unique<SalidaWindows>(m_hilo, m_ultimo, m_enDuda, m_documentos, [nombre] { return nombre; });
        it = m_impresoras.emplace(nombre, std::make_unique<ImpresoraQt>(std::move(salida), m_fuentes)).first;
    }
    return *it->second;
}

void SistemaWindows::seleccionar(int indice) {
    if (!m_listaLeida)
        impresoras();
    if (indice < 0 || indice >= m_lista.size())
        throw FalloPlataforma::estandar(numerofallo::fueraDeIntervalo);
    m_actual = &impresoraLlamada(m_lista[indice]);
}

Impresora& SistemaWindows::actual() {
    return m_actual ? static_cast<Impresora&>(*m_actual) : *m_inicial;
}

void SistemaWindows::escribirCrudo(const QString& impresora, const QByteArray& datos) {
    enviarSeguido(*m_hilo, *m_enDuda, impresora, m_ultimo, [=](std::atomic<qint64>* creado, const std::atomic_bool&) {
        return enviarCrudoSpooler(impresora, datos, QStringLiteral("cajon"), creado);
    });
}

std::optional<qint64> SistemaWindows::trabajoEnDuda(const QString& impresora) {
    return tomarEnDuda(*m_enDuda, impresora);
}

qint64 SistemaWindows::tomarTrabajo() {
    return m_ultimo->exchange(0);
}

void SistemaWindows::consultarTrabajo(const QString& impresora, qint64 trabajo,
                                      std::function<void(const EstadoCola&)> respuesta) {
    consultarEnHilo(
        *m_hilo, m_receptor, [impresora, trabajo] { return estadoSpooler(leerTrabajoSpooler(impresora, trabajo)); },
        std::move(respuesta));
}

bool SistemaWindows::responde(const QString& impresora) {
    Q_UNUSED(impresora);
    return m_hilo->responde();
}

void SistemaWindows::cancelarTrabajo(const QString& impresora, qint64 trabajo) {
    if (trabajo <= 0)
        return;
    m_hilo->ejecutar([impresora, trabajo](const std::atomic_bool&) { cancelarTrabajoSpooler(impresora, trabajo); });
}

void SistemaWindows::sondearEstados() {
    // Queued behind the follow-up's questions, never in front of a document: a poll is not worth a delay.
    sondearEnHilo(*m_hilo, m_receptor, observadorEstados(), ClaseImpresora::Windows, m_sondeoEnCurso,
                  [] { return leerEstadosSpooler(); });
}

QSize SistemaWindows::tamanoImagen(const QString& ruta) {
    return tamanoNaturalImagen(ruta);
}

} // namespace kestrel
