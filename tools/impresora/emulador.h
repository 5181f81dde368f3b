#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

#include "print/escpos/codificador.h"
#include "print/escpos/estado.h"

class QTcpSocket;

namespace kestrel {

/// How the emulated printer behaves.
struct OpcionesEmulador {
    /// Where the jobs are written as trabajo-<n>.bin (the bytes) and trabajo-<n>.txt (their decoding).
    QString carpeta;
    EstadoEscpos estado;
    /// Printable width the jobs are decoded at (wrapping included).
    int puntosAncho = puntosRollo80;
    /// The paper runs out once this many jobs are stored (0: never).
    int papelPara = 0;
    /// Accepts connections and never reads them (nor answers the status), with a receive buffer of about 2 KB:
    /// a printer wedged with its socket open. A write blocks once the writer's own send buffer is full too.
    bool noLee = false;
    /// Drops the connection once a job has brought this many bytes (0: never).
    qint64 cortarTras = 0;
    /// Reads at most this many bytes a second from each connection (0: all as they come), with the small receive
    /// buffer of noLee: a printer far slower than the network, whose buffer stays full.
    qint64 leeLento = 0;
    /// Reads everything and never answers the status requests: a printer without real-time status.
    bool noContesta = false;
};

/// A receipt printer on a TCP port, as a raw (port 9100) printer: answers the real-time status requests
/// DLE EOT 1, 2 and 4 the moment they arrive, even in the middle of a job, and stores everything else a
/// connection brings as one job when it closes. A connection that only asked for the status is no job.
class EmuladorEscpos : public QObject {
    Q_OBJECT
public:
    explicit EmuladorEscpos(OpcionesEmulador opciones, QObject* parent = nullptr);
    ~EmuladorEscpos() override;

    /// Listens on puerto (0: any free port); false with error() set when it cannot.
    bool escuchar(quint16 puerto, const QHostAddress& direccion = QHostAddress::Any);
    QString error() const;
    /// The port actually listened on.
    quint16 puerto() const;

    const EstadoEscpos& estado() const { return m_opciones.estado; }
    void fijarEstado(const EstadoEscpos& estado) { m_opciones.estado = estado; }
    /// Jobs stored so far.
    int trabajos() const { return m_trabajos; }

signals:
    /// Job numero is on disk (.bin, then .txt), with these bytes.
    void trabajoGuardado(int numero, const QByteArray& datos);
    /// A cut command (GS V) has just arrived, before its job ends.
    void corteRecibido();
    /// What happened, one line in Spanish for the person watching (a job stored, a file that could not be
    /// written, the paper running out).
    void informe(const QString& linea);

private:
    class Servidor;
    struct Conexion {
        QByteArray trabajo;
        /// The start of a status request split between two reads.
        QByteArray pendiente;
        /// How far the job has been walked command by command, looking for cuts.
        qsizetype analizado = 0;
        /// With leeLento: how many bytes may still be read now.
        qint64 cupo = 0;
    };

    void aceptar();
    /// Reads what the connection brought (with leeLento, only as much as its allowance, unless todo).
    void leer(QTcpSocket* socket, bool todo = false);
    /// With leeLento: a tenth of a second's allowance more for every connection.
    void gotear();
    void buscarCortes(Conexion& conexion);
    void terminar(QTcpSocket* socket);
    void guardar(const QByteArray& trabajo);

    OpcionesEmulador m_opciones;
    std::unique_ptr<Servidor> m_servidor;
    QHash<QTcpSocket*, Conexion> m_conexiones;
    QTimer m_goteo;
    int m_trabajos = 0;
};

} // namespace kestrel
