#include "app/salud_agente.h"

#include <QLoggingCategory>

#include "app/despachador.h"
#include "app/enlace.h"
#include "app/impresion_agente.h"
#include "app/pestana_impresoras.h"
#include "app/tls_enlace.h"
#include "metricas/metricas.h"
#include "metricas/servidor_metricas.h"
#include "print/avisos.h"
#include "print/impresora.h"
#include "print/registro_impresoras.h"

namespace kestrel {

namespace {

Q_LOGGING_CATEGORY(registroSalud, "kestrel.impresoras", QtInfoMsg)

const QString tituloImpresoras = QStringLiteral("Impresoras");

QStringList nombres(std::initializer_list<EstadoTrabajo> estados) {
    QStringList r;
    for (const EstadoTrabajo e : estados)
        r << nombreEstadoTrabajo(e);
    return r;
}

QStringList tiposDocumento() {
    QStringList r;
    for (const TipoTrabajo t : {TipoTrabajo::Comanda, TipoTrabajo::Anulacion, TipoTrabajo::Factura, TipoTrabajo::Cajon,
                                TipoTrabajo::Reimpresion})
        r << nombreTipoTrabajo(t);
    return r;
}

} // namespace

SaludAgente::SaludAgente(const OpcionesSalud& opciones, Avisos& avisos, Enlace& enlace, Despachador& despachador,
                         const TrabajosAgente& trabajos)
    : m_avisos(avisos), m_registro(trabajos.impresoras ? trabajos.impresoras : std::make_shared<RegistroImpresoras>()),
      m_sistema(trabajos.sistema), m_pestana(new PestanaImpresoras(m_registro)) {
    connect(m_registro.get(), &RegistroImpresoras::estadoCambiado, this,
            [this](const QString& impresora, EstadoImpresora anterior, EstadoImpresora nuevo) {
                qCInfo(registroSalud).noquote()
                    << QStringLiteral("%1: %2 (antes %3)").arg(impresora, textoEstado(nuevo), textoEstado(anterior));
                if (const auto globo = globoPorCambio(impresora, anterior, nuevo))
                    m_avisos.mostrarGlobo(globo->mensaje, globo->icono, tituloImpresoras, tiempoGlobo);
            });
    // Polls go to the printers' own threads; the answers come back as events, never as a wait here.
    connect(&m_sondeo, &QTimer::timeout, this, [this] {
        if (m_sistema)
            m_sistema->sondearEstados();
    });
    if (opciones.sondeoImpresoras > 0) {
        m_sondeo.setInterval(opciones.sondeoImpresoras * 1000);
        m_sondeo.start();
    }
    // Once at start in any case: the tab and the metrics list the printers before their first document.
    QTimer::singleShot(0, this, [this] {
        if (m_sistema)
            m_sistema->sondearEstados();
    });

    if (!opciones.metricas)
        return;
    QStringList tipos = Despachador::tiposConocidos();
    m_metricas =
        std::make_unique<Metricas>(QStringLiteral(KESTREL_VERSION), tipos, tiposDocumento(),
                                   nombres({EstadoTrabajo::Impreso, EstadoTrabajo::Reenviado, EstadoTrabajo::Fallido}));
    m_metricas->fijarEnlace(enlace.estadoSocket() == 7);
    connect(&enlace, &Enlace::conexionCambiada, this, [this](bool conectado) { m_metricas->fijarEnlace(conectado); });
    despachador.fijarAlContar([this](const QString& tipo) { m_metricas->contarMensaje(tipo); });
    connect(m_registro.get(), &RegistroImpresoras::documentoTerminado, this,
            [this](TipoTrabajo tipo, const QString& impresora, EstadoTrabajo estado) {
                m_metricas->contarDocumento(nombreTipoTrabajo(tipo), impresora, nombreEstadoTrabajo(estado));
            });
    connect(m_registro.get(), &RegistroImpresoras::diarioFallido, this, [this] { m_metricas->contarErrorDiario(); });
    connect(m_registro.get(), &RegistroImpresoras::cambiado, this, &SaludAgente::publicarImpresoras);
    publicarImpresoras();
    arrancarMetricas(opciones);
}

SaludAgente::~SaludAgente() {
    // Unless the window took the tab.
    if (m_pestana && !m_pestana->parent())
        delete m_pestana;
}

QWidget* SaludAgente::pestana() {
    return m_pestana;
}

quint16 SaludAgente::puertoMetricas() const {
    return m_servidor ? m_servidor->puerto() : 0;
}

void SaludAgente::publicarImpresoras() {
    for (const FichaImpresora& f : m_registro->fichas())
        m_metricas->fijarImpresora(f.nombre, f.estado, f.ultimoDocumento);
}

void SaludAgente::arrancarMetricas(const OpcionesSalud& opciones) {
    std::optional<QSslConfiguration> tls;
    QString problema;
    if (!opciones.certificado.isEmpty()) {
        QSslConfiguration configuracion;
        problema = prepararTls({true, QString(), opciones.certificado, opciones.clave}, configuracion);
        // A scraper is not asked for a certificate: who may scrape is the network's and the firewall's call.
        configuracion.setPeerVerifyMode(QSslSocket::VerifyNone);
        tls = configuracion;
    }
    m_servidor = std::make_unique<ServidorMetricas>(*m_metricas);
    if (problema.isEmpty() && m_servidor->escuchar(opciones.direccion, opciones.puerto, tls, &problema)) {
        m_avisos.registrar(
            QStringLiteral("Métricas en %1://%2:%3/metrics")
                .arg(tls ? QStringLiteral("https") : QStringLiteral("http"), opciones.direccion.toString())
                .arg(m_servidor->puerto()));
        return;
    }
    // The agent's work is printing: an endpoint that cannot start is reported and printing goes on.
    m_servidor.reset();
    const QString texto = QStringLiteral("No se pudieron publicar las métricas en %1:%2: %3")
                              .arg(opciones.direccion.toString())
                              .arg(opciones.puerto)
                              .arg(problema);
    qCWarning(registroSalud).noquote() << texto;
    m_avisos.registrar(texto);
    m_avisos.mostrarGlobo(texto, iconoglobo::error, tituloImpresoras, tiempoGlobo);
}

} // namespace kestrel
