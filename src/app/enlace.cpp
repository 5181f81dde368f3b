#include "app/enlace.h"

#include <exception>

#include "app/mensajes_agente.h"
#include "app/numeros_socket.h"
#include "app/textos_agente.h"
#include "app/tls_enlace.h"
#include "print/avisos.h"

namespace kestrel {

namespace {

// "conextado" is the system's own text, as branches have always read it: kept on purpose, do not correct it.
const QString textoConectado = QStringLiteral("Servidor de impresoras conextado correctamente");
// "DesConectando" (capital C, and "-ando" although the link is already down) is the system's own tooltip.
const QString textoDesconectando = QStringLiteral("DesConectando");
const QString textoDesconectado = QStringLiteral("Servidor de impresoras desconectado");
const QString lineaFin = QStringLiteral("------------------------------ fin ------------------------------");

bool intentoEnCurso(int estado) {
    return estado >= estadosocket::conexionPendiente && estado <= estadosocket::conectando;
}

// Restores the processing flag however the loop ends.
class BanderaProcesando {
public:
    explicit BanderaProcesando(bool& bandera) : m_bandera(bandera) { m_bandera = true; }
    ~BanderaProcesando() { m_bandera = false; }
    BanderaProcesando(const BanderaProcesando&) = delete;
    BanderaProcesando& operator=(const BanderaProcesando&) = delete;

private:
    bool& m_bandera;
};

} // namespace

bool codificacionValida(const QString& nombre) {
    return nombre.isEmpty() || CodificacionEnlace(nombre).valida();
}

Enlace::Enlace(ConfiguracionEnlace configuracion, SalidaEnlace& salida,
               std::function<void(const QString&)> procesarMensaje, QObject* parent)
    : QObject(parent), m_config(std::move(configuracion)), m_salida(salida),
      m_procesarMensaje(std::move(procesarMensaje)), m_enmarcador(m_config.limiteMensaje),
      m_codificacion(m_config.codificacion) {
    // The watch promises a new attempt within a second of a drop; a coarse timer could slip past that.
    Timer1.setTimerType(Qt::PreciseTimer);
    Timer1.setInterval(m_config.intervaloVigilancia);
    TimerPing.setInterval(m_config.intervaloPing);
    connect(&Timer1, &QTimer::timeout, this, &Enlace::Timer1_Timer);
    connect(&TimerPing, &QTimer::timeout, this, &Enlace::TimerPing_Timer);
    connect(&winsock, &QTcpSocket::connected, this, &Enlace::alConectarTcp);
    connect(&winsock, &QSslSocket::encrypted, this, &Enlace::alCifrar);
    m_esperaAceptacion.setSingleShot(true);
    connect(&m_esperaAceptacion, &QTimer::timeout, this, &Enlace::winsock_Connect);
    // The ticket arrives in the middle of the socket's own reading: the link goes on from the event loop, never
    // from inside it.
    connect(&winsock, &QSslSocket::newSessionTicketReceived, this, [this] {
        if (m_esperaAceptacion.isActive())
            m_esperaAceptacion.start(0);
    });
    connect(&winsock, &QSslSocket::alertReceived, this,
            [this](QSsl::AlertLevel nivel, QSsl::AlertType, const QString& descripcion) {
                if (nivel == QSsl::AlertLevel::Fatal)
                    m_alertaTls = descripcion;
            });
    connect(&winsock, &QSslSocket::sslErrors, this, [this](const QList<QSslError>& errores) {
        m_motivoCertificado = motivoCertificado(errores, m_config.servidor);
    });
    if (m_config.tls)
        winsock.setSslConfiguration(*m_config.tls);
    winsock.setReadBufferSize(lecturaEnlace);
    connect(&winsock, &QTcpSocket::readyRead, this, [this] {
        // Read again once the waiting messages are done (procesarPendientes).
        if (!m_enmarcador.hayMensaje())
            winsock_DataArrival(winsock.bytesAvailable());
    });
    connect(&winsock, &QTcpSocket::disconnected, this, &Enlace::alDesconectar);
    connect(&winsock, &QTcpSocket::errorOccurred, this, &Enlace::alFallar);
}

Enlace::~Enlace() {
    // The socket is destroyed after the members its handlers use: silence it before it closes.
    disconnect(&winsock, nullptr, this, nullptr);
    winsock.abort();
}

void Enlace::iniciar() {
    Timer1.start();
    TimerPing.start();
}

int Enlace::estadoSocket() const {
    // Until the service has proved who it is, a TLS link is still being opened: nothing is sent on it.
    if (m_config.tls && winsock.state() == QAbstractSocket::ConnectedState && !m_conectado)
        return estadosocket::conectando;
    return numeroEstado(winsock.state());
}

void Enlace::alConectarTcp() {
    if (!m_config.tls) {
        winsock_Connect();
        return;
    }
    m_inicioSaludo.start();
}

void Enlace::alCifrar() {
    if (winsock.sessionProtocol() == QSsl::TlsV1_3)
        m_esperaAceptacion.start(500);
    else
        winsock_Connect();
}

QString Enlace::motivoTls() const {
    if (!m_motivoCertificado.isEmpty())
        return m_motivoCertificado;
    if (m_alertaTls == QLatin1String("certificate required"))
        return QStringLiteral("El servidor exige el certificado de la sucursal");
    if (!m_alertaTls.isEmpty())
        return QStringLiteral("El servidor rechazó la conexión segura (TLS): %1").arg(m_alertaTls);
    return QStringLiteral("El servidor no aceptó la conexión segura (TLS): %1").arg(winsock.errorString());
}

void Enlace::cerrarSocket() {
    m_conectado = false;
    m_cerrandoNosotros = true;
    winsock.abort();
    m_cerrandoNosotros = false;
}

void Enlace::conectar() {
    cerrarSocket();
    m_codificacion.reiniciar();
    m_inicioIntento.start();
    m_inicioSaludo.invalidate();
    m_esperaAceptacion.stop();
    m_motivoCertificado.clear();
    m_alertaTls.clear();
    if (m_config.tls)
        winsock.connectToHostEncrypted(m_config.servidor, m_config.puerto);
    else
        winsock.connectToHost(m_config.servidor, m_config.puerto);
}

void Enlace::Timer1_Timer() {
    const int estado = estadoSocket();
    // A host name being resolved is an attempt in progress too: restarting it every tick would never let a
    // slow lookup finish.
    if (reconectar && !intentoEnCurso(estado) && estado != estadosocket::conectado)
        conectar();
    else if (m_inicioSaludo.isValid() && !winsock.isEncrypted() && m_inicioSaludo.elapsed() > m_config.limiteSaludoTls)
        winsock_Error(numerowinsock::tiempoAgotado,
                      QStringLiteral("El servidor no completó la conexión segura (TLS) en %1 s; ¿habla TLS?")
                          .arg(m_config.limiteSaludoTls / 1000));
    else if (intentoEnCurso(estado) && m_inicioIntento.isValid() &&
             m_inicioIntento.elapsed() > m_config.limiteIntentoConexion) {
        const ErrorSocket e = errorWinsock(QAbstractSocket::SocketTimeoutError);
        winsock_Error(e.numero, e.descripcion);
    }
    m_salida.mostrarEstado(QStringLiteral("status ") + QString::number(estadoSocket()));
}

void Enlace::TimerPing_Timer() {
    enviarEstado();
}

void Enlace::enviarEstado() {
    if (estadoSocket() != estadosocket::conectado)
        return;
    const QString texto = textoEstado(codigoSucursal, m_ocupado);
    enviar(texto);
    m_salida.agregarLog(texto);
}

void Enlace::enviar(const QString& texto) {
    winsock.write(m_codificacion.codificar(texto));
    // Replies are tiny and the service waits for them; push them out now rather than at the next loop pass.
    winsock.flush();
}

void Enlace::winsock_Connect() {
    m_conectado = true;
    m_inicioIntento.invalidate();
    m_inicioSaludo.invalidate();
    winsock.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // The service cannot continue a message over a new connection: a leftover start would only corrupt the
    // first message it sends now.
    if (const qsizetype sobrante = m_enmarcador.descartarIncompleto(); sobrante > 0)
        m_salida.agregarLog(
            QStringLiteral("Se descartó un mensaje incompleto de la conexión anterior (%1 caracteres)").arg(sobrante));
    const QString identificacion = textoIdentificacion(codigoSucursal);
    m_salida.agregarLog(identificacion);
    enviar(identificacion);
    m_salida.mostrarConexion(true, textoConectado);
    emit conexionCambiada(true);
    m_salida.mostrarGlobo(textoConectado, iconoglobo::informacion, textosagente::tituloGlobos, tiempoGlobo);
}

void Enlace::winsock_DataArrival(qint64 bytesTotal) {
    const QString trozo = m_codificacion.decodificar(winsock.read(bytesTotal));
    if (trozo.isEmpty())
        return;
    m_salida.agregarLog(trozo);
    if (m_enmarcador.agregar(trozo))
        m_salida.agregarLog(QStringLiteral("Mensaje descartado: supera el límite de %1 caracteres sin \"%2\"")
                                .arg(m_enmarcador.limite())
                                .arg(marcadorFinMensaje));
    // Processing runs after this handler returns: while a readyRead handler is still running the socket does
    // not signal new data, so a message arriving during the invoice's yield would wait for the next packet.
    if (m_enmarcador.hayMensaje() && !m_procesando)
        QMetaObject::invokeMethod(this, &Enlace::procesarPendientes, Qt::QueuedConnection);
}

void Enlace::procesarPendientes() {
    // Runs when the invoice yields to the event loop too: the message being processed then finishes first,
    // and the loop below takes the newly completed ones after it.
    if (m_procesando)
        return;
    BanderaProcesando bandera(m_procesando);
    while (m_enmarcador.hayMensaje()) {
        const MensajeRecibido mensaje = m_enmarcador.tomarMensaje();
        m_salida.limpiarLog();
        m_ocupado = 1;
        if (mensaje.descartado) {
            m_salida.agregarLog(
                QStringLiteral("Mensaje descartado por exceder el límite de %1 caracteres (%2 recibidos)")
                    .arg(m_enmarcador.limite())
                    .arg(mensaje.tamano));
        } else {
            try {
                m_procesarMensaje(mensaje.texto);
            } catch (const std::exception& e) {
                m_salida.agregarLog(QStringLiteral("Error al procesar el mensaje: ") +
                                    QString::fromLocal8Bit(e.what()));
            } catch (...) {
                m_salida.agregarLog(QStringLiteral("Error al procesar el mensaje: fallo desconocido"));
            }
        }
        m_ocupado = 0;
        enviarEstado();
        m_salida.agregarLog(lineaFin);
    }
    // What the service sent meanwhile waited in the socket: it is read once this loop is over.
    if (winsock.bytesAvailable() > 0)
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!m_enmarcador.hayMensaje())
                    winsock_DataArrival(winsock.bytesAvailable());
            },
            Qt::QueuedConnection);
}

void Enlace::alDesconectar() {
    if (m_cerrandoNosotros || !m_conectado)
        return;
    // Whatever the service wrote before closing is still a message for us.
    if (winsock.bytesAvailable() > 0)
        winsock_DataArrival(winsock.bytesAvailable());
    winsock_Close();
}

void Enlace::alFallar(QAbstractSocket::SocketError error) {
    if (m_cerrandoNosotros)
        return;
    // A refusal during the handshake is a TLS failure, whatever the socket calls it; nothing was sent yet.
    if (m_config.tls && !m_conectado && m_inicioSaludo.isValid()) {
        winsock_Error(numerowinsock::conexionAbortada, motivoTls());
        return;
    }
    // The peer closing is not an error for the agent: the disconnected signal that follows reports it.
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;
    const ErrorSocket e = errorWinsock(error, winsock.errorString());
    winsock_Error(e.numero, e.descripcion);
}

void Enlace::winsock_Close() {
    cerrarSocket();
    m_salida.mostrarConexion(false, textoDesconectando);
    emit conexionCambiada(false);
    m_salida.mostrarGlobo(textoDesconectado, iconoglobo::informacion, textosagente::tituloGlobos, tiempoGlobo);
}

void Enlace::winsock_Error(int Number, const QString& Description) {
    const QString texto = QString::number(Number) + QLatin1Char('-') + Description;
    m_salida.agregarLog(QStringLiteral("Error: ") + texto);
    cerrarSocket();
    m_inicioIntento.invalidate();
    m_inicioSaludo.invalidate();
    m_esperaAceptacion.stop();
    m_salida.mostrarConexion(false, textoDesconectando);
    emit conexionCambiada(false);
    m_salida.mostrarGlobo(texto, iconoglobo::informacion, textosagente::tituloGlobos, tiempoGlobo);
}

} // namespace kestrel
