#include "emulador.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QList>
#include <QSaveFile>
#include <QTcpServer>
#include <QTcpSocket>

#include "decodificador.h"

namespace kestrel {

namespace {

constexpr char dle = 0x10;
constexpr char eot = 0x04;
constexpr char gs = 0x1D;
// The kernel doubles it and keeps a floor of about 2 KB. What the writer's own send buffer holds on top is the
// writer's: on loopback Linux lets it grow past a megabyte unless the writer caps it.
constexpr int bufferRecepcionNoLee = 1024;

bool esPedidoEstado(char n) {
    return n == 1 || n == 2 || n == 4;
}

QString escribirEntero(const QString& ruta, const QByteArray& datos) {
    QSaveFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly) || archivo.write(datos) != datos.size() || !archivo.commit())
        return QStringLiteral("%1: %2").arg(ruta, archivo.errorString());
    return {};
}

} // namespace

/// The listening socket; when the printer does not read, it keeps each accepted connection open and untouched.
class EmuladorEscpos::Servidor : public QTcpServer {
public:
    explicit Servidor(bool noLee) : m_noLee(noLee) {}
    ~Servidor() override {
        for (const qintptr descriptor : std::as_const(m_mudas))
            ::close(static_cast<int>(descriptor));
    }

protected:
    void incomingConnection(qintptr descriptor) override {
        if (m_noLee)
            m_mudas.append(descriptor);
        else
            QTcpServer::incomingConnection(descriptor);
    }

private:
    bool m_noLee;
    QList<qintptr> m_mudas;
};

EmuladorEscpos::EmuladorEscpos(OpcionesEmulador opciones, QObject* parent)
    : QObject(parent), m_opciones(std::move(opciones)), m_servidor(std::make_unique<Servidor>(m_opciones.noLee)) {
    connect(m_servidor.get(), &QTcpServer::newConnection, this, &EmuladorEscpos::aceptar);
    m_goteo.setInterval(100);
    connect(&m_goteo, &QTimer::timeout, this, &EmuladorEscpos::gotear);
}

EmuladorEscpos::~EmuladorEscpos() {
    // The sockets go with the server, after this object's members: they must not call back into it.
    for (auto it = m_conexiones.keyBegin(); it != m_conexiones.keyEnd(); ++it)
        (*it)->disconnect(this);
}

bool EmuladorEscpos::escuchar(quint16 puerto, const QHostAddress& direccion) {
    if (!m_servidor->listen(direccion, puerto))
        return false;
    // Accepted connections take the listening socket's receive buffer.
    if (m_opciones.noLee || m_opciones.leeLento > 0) {
        const int tamano = bufferRecepcionNoLee;
        ::setsockopt(static_cast<int>(m_servidor->socketDescriptor()), SOL_SOCKET, SO_RCVBUF, &tamano, sizeof tamano);
    }
    return true;
}

QString EmuladorEscpos::error() const {
    switch (m_servidor->serverError()) {
    case QAbstractSocket::AddressInUseError:
        return QStringLiteral("el puerto ya está en uso");
    case QAbstractSocket::SocketAccessError:
        return QStringLiteral("no hay permiso para usar ese puerto");
    case QAbstractSocket::SocketAddressNotAvailableError:
        return QStringLiteral("la dirección no es de este equipo");
    default:
        return m_servidor->errorString();
    }
}

quint16 EmuladorEscpos::puerto() const {
    return m_servidor->serverPort();
}

void EmuladorEscpos::aceptar() {
    while (QTcpSocket* socket = m_servidor->nextPendingConnection()) {
        Conexion conexion;
        conexion.cupo = m_opciones.leeLento;
        m_conexiones.insert(socket, conexion);
        if (m_opciones.leeLento > 0) {
            // What Qt does not take stays in the kernel's small buffer, which then takes no more from the sender.
            socket->setReadBufferSize(std::max<qint64>(m_opciones.leeLento, 16));
            m_goteo.start();
        }
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { leer(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            leer(socket, true);
            terminar(socket);
        });
    }
}

void EmuladorEscpos::gotear() {
    const qint64 gota = std::max<qint64>(m_opciones.leeLento / 10, 1);
    for (auto it = m_conexiones.begin(); it != m_conexiones.end(); ++it)
        it->cupo = std::min(it->cupo + gota, m_opciones.leeLento);
    for (QTcpSocket* socket : m_conexiones.keys())
        leer(socket);
}

void EmuladorEscpos::leer(QTcpSocket* socket, bool todo) {
    const auto encontrada = m_conexiones.find(socket);
    if (encontrada == m_conexiones.end())
        return;
    Conexion& conexion = *encontrada;
    QByteArray leido;
    if (m_opciones.leeLento > 0 && !todo) {
        leido = socket->read(conexion.cupo);
        conexion.cupo -= leido.size();
    } else {
        leido = socket->readAll();
    }
    const QByteArray llegado = conexion.pendiente + leido;
    conexion.pendiente.clear();
    // Real printers answer DLE EOT wherever it comes, so the request is looked for in the raw bytes, not between
    // commands; the encoder keeps the pattern out of its pictures.
    QByteArray respuesta;
    qsizetype copiado = 0;
    for (qsizetype i = llegado.indexOf(dle); i >= 0 && copiado < llegado.size(); i = llegado.indexOf(dle, i + 1)) {
        const QByteArrayView resto = QByteArrayView(llegado).sliced(i);
        if (resto.size() < 3 && QByteArrayView("\x10\x04", 2).startsWith(resto)) {
            conexion.trabajo.append(llegado.sliced(copiado, i - copiado));
            conexion.pendiente = resto.toByteArray();
            copiado = llegado.size();
        } else if (resto.size() >= 3 && resto[1] == eot && esPedidoEstado(resto[2])) {
            conexion.trabajo.append(llegado.sliced(copiado, i - copiado));
            respuesta.append(respuestaEstado(m_opciones.estado, resto[2]));
            copiado = i + 3;
            i += 2;
        }
    }
    conexion.trabajo.append(llegado.sliced(std::min(copiado, llegado.size())));
    if (!respuesta.isEmpty() && !m_opciones.noContesta)
        socket->write(respuesta);

    const bool cortar = m_opciones.cortarTras > 0 && conexion.trabajo.size() >= m_opciones.cortarTras;
    if (cortar)
        conexion.trabajo.truncate(m_opciones.cortarTras);
    buscarCortes(conexion);
    if (cortar) {
        terminar(socket);
        socket->abort();
    }
}

void EmuladorEscpos::buscarCortes(Conexion& conexion) {
    int cortes = 0;
    for (qsizetype largo; conexion.analizado < conexion.trabajo.size(); conexion.analizado += largo) {
        largo = largoComandoEscpos(conexion.trabajo, conexion.analizado);
        if (largo == 0)
            break;
        if (conexion.trabajo.at(conexion.analizado) == gs && conexion.trabajo.at(conexion.analizado + 1) == 'V')
            ++cortes;
    }
    for (int i = 0; i < cortes; ++i)
        emit corteRecibido();
}

void EmuladorEscpos::terminar(QTcpSocket* socket) {
    if (!m_conexiones.contains(socket))
        return;
    Conexion conexion = m_conexiones.take(socket);
    socket->deleteLater();
    // A status request cut short by the closing is just bytes of the job.
    conexion.trabajo.append(conexion.pendiente);
    if (!conexion.trabajo.isEmpty())
        guardar(conexion.trabajo);
}

void EmuladorEscpos::guardar(const QByteArray& trabajo) {
    const int numero = ++m_trabajos;
    const QString base = QDir(m_opciones.carpeta).filePath(QStringLiteral("trabajo-%1").arg(numero));
    const QList<RenglonEscpos> renglones = decodificarEscpos(trabajo, m_opciones.puntosAncho);
    QStringList lineas;
    int textos = 0;
    bool cortado = false;
    for (const RenglonEscpos& r : renglones) {
        lineas << r.comoAnotado();
        textos += r.tipo == RenglonEscpos::Tipo::texto ? 1 : 0;
        cortado = cortado || lineas.last() == QLatin1String("[corte]");
    }
    // The .txt is written last: whoever waits for it finds the .bin already whole.
    QString problema = escribirEntero(base + QStringLiteral(".bin"), trabajo);
    if (problema.isEmpty())
        problema = escribirEntero(base + QStringLiteral(".txt"), (lineas.join(u'\n') + u'\n').toUtf8());
    if (problema.isEmpty()) {
        QString linea = QStringLiteral("trabajo %1: %2 bytes, %3 líneas de texto, %4 -> %5.txt")
                            .arg(numero)
                            .arg(trabajo.size())
                            .arg(textos)
                            .arg(cortado ? QStringLiteral("con corte") : QStringLiteral("sin corte"), base);
        if (!m_opciones.estado.listo())
            linea += QStringLiteral(" (llegó con la impresora %1)").arg(motivoEstado(m_opciones.estado));
        emit informe(linea);
    } else {
        emit informe(QStringLiteral("trabajo %1: no se pudo guardar %2").arg(numero).arg(problema));
    }
    // The paper is out before anyone hears of the job, so a status asked right after it says so.
    if (m_opciones.papelPara > 0 && numero >= m_opciones.papelPara && !m_opciones.estado.sinPapel) {
        m_opciones.estado.sinPapel = true;
        emit informe(QStringLiteral("sin papel desde el trabajo %1").arg(numero));
    }
    emit trabajoGuardado(numero, trabajo);
}

} // namespace kestrel
