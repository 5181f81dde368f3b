#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QSslConfiguration>
#include <QSslError>
#include <QSslSocket>
#include <QTimer>

#include <functional>
#include <optional>

#include "app/codificacion_enlace.h"
#include "app/enmarcador.h"

namespace kestrel {

/// The central print service's port.
inline constexpr quint16 puertoServicio = 3000;
/// Bytes the link takes from the socket at a time. While complete messages wait to be processed nothing more
/// is read, so a burst from the service waits in the system's buffers (and slows the service down) instead of
/// piling up in the agent.
inline constexpr qint64 lecturaEnlace = 1024 * 1024;

/// Address and timing of the link. The intervals are injectable so that tests never wait real seconds.
struct ConfiguracionEnlace {
    QString servidor = QStringLiteral("127.0.0.1");
    quint16 puerto = puertoServicio;
    /// Timer1: the watch that reopens the link.
    int intervaloVigilancia = 1000;
    /// TimerPing: the periodic status reply.
    int intervaloPing = 60000;
    /// A connect attempt still pending after this long is given up as timed out (10060), as a Winsock
    /// connect would; without it a dropped SYN would leave the link "connecting" for ever.
    int limiteIntentoConexion = 20000;
    /// Wire text codec (an ICU or Qt name); empty for the system's.
    QString codificacion;
    qsizetype limiteMensaje = Enmarcador::limitePorOmision;
    /// TLS on the same connection, verified with these settings; the link counts as connected (7) only once
    /// the service's certificate has been checked and the handshake is done.
    std::optional<QSslConfiguration> tls;
    /// A handshake still unfinished after this long is given up: a service that does not speak TLS never
    /// answers one.
    int limiteSaludoTls = 10000;
};

/// Where the link shows itself: the window implements it (log box, tray icon, balloon, status label).
class SalidaEnlace {
public:
    virtual ~SalidaEnlace() = default;
    /// One entry of the on-screen log.
    virtual void agregarLog(const QString& entrada) = 0;
    virtual void limpiarLog() = 0;
    /// The tray image for connected (true) or not connected, with its tooltip.
    virtual void mostrarConexion(bool conectado, const QString& tooltip) = 0;
    virtual void mostrarGlobo(const QString& mensaje, int icono, const QString& titulo, int tiempoMs) = 0;
    /// The caption of lblState.
    virtual void mostrarEstado(const QString& texto) = 0;
};

/// True when nombre is a wire codec this build can use.
bool codificacionValida(const QString& nombre);

/// The one connection to the central print service: watch, identification, framing, the processing of each
/// message and the status replies. Everything runs on the window's thread.
class Enlace : public QObject {
    Q_OBJECT
public:
    Enlace(ConfiguracionEnlace configuracion, SalidaEnlace& salida, std::function<void(const QString&)> procesarMensaje,
           QObject* parent = nullptr);
    ~Enlace() override;

    /// Starts Timer1 and TimerPing; the first connect attempt comes with the first watch tick.
    void iniciar();

    QString codigoSucursal;
    /// The watch reopens the link only while true.
    bool reconectar = false;
    /// 1 while a message is processed, 0 otherwise; sent as the status of every reply.
    qint16 ocupado() const { return m_ocupado; }

    /// The classic state number of the socket (0 closed ... 7 connected).
    int estadoSocket() const;

    void conectar();
    void Timer1_Timer();
    void TimerPing_Timer();
    /// Sends the status reply if, and only if, the socket is connected.
    void enviarEstado();

    void winsock_Connect();
    void winsock_DataArrival(qint64 bytesTotal);
    void winsock_Close();
    void winsock_Error(int Number, const QString& Description);

    const Enmarcador& enmarcador() const { return m_enmarcador; }
    bool procesando() const { return m_procesando; }
    const ConfiguracionEnlace& configuracion() const { return m_config; }

signals:
    /// The link came up (the identification is out) or went down.
    void conexionCambiada(bool conectado);

private:
    void alDesconectar();
    void alFallar(QAbstractSocket::SocketError error);
    void alConectarTcp();
    void alCifrar();
    /// The TLS failure to report: the certificate's reason when there was one, else the handshake's.
    QString motivoTls() const;
    void procesarPendientes();
    void cerrarSocket();
    void enviar(const QString& texto);

    ConfiguracionEnlace m_config;
    SalidaEnlace& m_salida;
    std::function<void(const QString&)> m_procesarMensaje;
    Enmarcador m_enmarcador;
    CodificacionEnlace m_codificacion;
    qint16 m_ocupado = 0;
    bool m_procesando = false;
    bool m_conectado = false;
    bool m_cerrandoNosotros = false;
    QElapsedTimer m_inicioIntento;
    QElapsedTimer m_inicioSaludo;
    QString m_motivoCertificado;
    QString m_alertaTls;
    /// With TLS 1.3 a service that refuses the branch's certificate says so just after the handshake; the
    /// link waits this long for its word (a session ticket means yes) before counting as connected.
    QTimer m_esperaAceptacion;

    QSslSocket winsock;
    QTimer Timer1;
    QTimer TimerPing;
};

} // namespace kestrel
