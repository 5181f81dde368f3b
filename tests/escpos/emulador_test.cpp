// The printer emulator over loopback TCP: its real-time status in every state, mid-job too, and the jobs it
// stores and reads back.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>

#include "decodificador.h"
#include "dorados.h"
#include "emulador.h"
#include "print/escpos/codificador.h"
#include "tablas.h"

namespace kestrel::prueba {
namespace {

/// A client of the emulator on loopback.
struct Cliente {
    explicit Cliente(quint16 puerto) {
        socket.connectToHost(QHostAddress::LocalHost, puerto);
        EXPECT_TRUE(socket.waitForConnected(5000)) << socket.errorString().toStdString();
    }

    /// Sends bytes and gives the n bytes answered.
    QByteArray conversar(const QByteArray& envio, qsizetype n) {
        socket.write(envio);
        EXPECT_TRUE(esperarHasta([this, n] { return socket.bytesAvailable() >= n; })) << "sin respuesta";
        return socket.read(n);
    }

    /// The state read from the answers to DLE EOT 1, 2 and 4, as the cashier is told.
    QString motivo() {
        const QByteArray r = conversar(pedidoEstado(1) + pedidoEstado(2) + pedidoEstado(4), 3);
        const auto byte = [&r](int i) { return i < r.size() ? static_cast<unsigned char>(r[i]) : -1; };
        return motivoEstado(leerEstadoEscpos(byte(0), byte(1), byte(2)));
    }

    QTcpSocket socket;
};

TEST(Emulador, ContestaElEstadoYGuardaCadaTrabajo) {
    QTemporaryDir carpeta;
    EmuladorEscpos emulador({carpeta.path(), {}, puntosRollo80, 1});
    ASSERT_TRUE(emulador.escuchar(0, QHostAddress::LocalHost)) << emulador.error().toStdString();
    QSignalSpy guardados(&emulador, &EmuladorEscpos::trabajoGuardado);
    QSignalSpy cortes(&emulador, &EmuladorEscpos::corteRecibido);

    const std::pair<EstadoEscpos, const char*> estados[] = {{{}, ""},
                                                            {{.sinPapel = true}, "sin papel"},
                                                            {{.tapaAbierta = true}, "tapa abierta"},
                                                            {{.fueraDeLinea = true}, "fuera de línea"}};
    for (const auto& [estado, motivo] : estados) {
        emulador.fijarEstado(estado);
        EXPECT_EQ(Cliente(emulador.puerto()).motivo(), QString::fromUtf8(motivo));
    }

    // A job with a status request in its middle and another split between two writes; the answers come at once.
    emulador.fijarEstado({});
    LineaVista linea{QStringLiteral("Mesa 5 Añejo"), 16};
    const QByteArray trabajo = codificarDocumento({linea, linea}, {}, puntosRollo80);
    Cliente cliente(emulador.puerto());
    EXPECT_EQ(cliente.conversar(trabajo.left(9) + pedidoEstado(2), 1), QByteArray(1, respuestaEstado({}, 2)));
    cliente.socket.write(trabajo.mid(9) + "\x10");
    ASSERT_TRUE(esperarHasta([&cortes] { return cortes.size() == 1; })) << "el corte se avisa antes del cierre";
    EXPECT_EQ(guardados.size(), 0);
    EXPECT_EQ(cliente.conversar("\x04\x04", 1), QByteArray(1, respuestaEstado({}, 4)));
    cliente.socket.disconnectFromHost();
    ASSERT_TRUE(esperarHasta([&guardados] { return guardados.size() == 1; }));

    EXPECT_EQ(guardados[0][0].toInt(), 1) << "las conexiones que solo preguntaron el estado no son trabajos";
    EXPECT_EQ(guardados[0][1].toByteArray(), trabajo);
    EXPECT_EQ(leerArchivo(carpeta.filePath("trabajo-1.bin")), trabajo);
    EXPECT_EQ(leerTexto(carpeta.filePath("trabajo-1.txt")),
              textoAnotadoEscpos(trabajo, puntosRollo80).join(u'\n') + u'\n');
    EXPECT_EQ(Cliente(emulador.puerto()).motivo(), QStringLiteral("sin papel")) << "el papel se acaba tras 1 trabajo";
}

TEST(Emulador, CortaLaConexionTrasLosBytesPedidos) {
    QTemporaryDir carpeta;
    OpcionesEmulador opciones;
    opciones.carpeta = carpeta.path();
    opciones.cortarTras = 4;
    EmuladorEscpos emulador(opciones);
    ASSERT_TRUE(emulador.escuchar(0, QHostAddress::LocalHost));
    Cliente cliente(emulador.puerto());
    cliente.socket.write("Hola mundo\n");
    EXPECT_TRUE(esperarHasta([&cliente] { return cliente.socket.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_TRUE(esperarHasta([&emulador] { return emulador.trabajos() == 1; }));
    EXPECT_EQ(leerArchivo(carpeta.filePath("trabajo-1.bin")), QByteArray("Hola"));
}

} // namespace
} // namespace kestrel::prueba
