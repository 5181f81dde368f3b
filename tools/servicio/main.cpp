#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

#include "app/enlace.h"
#include "app/tls_enlace.h"
#include "servicio_demo.h"

namespace {

const char* const ayuda =
    "Uso: kestrel-servicio [--enviar ARCHIVO]... [--puerto N] [--salir-tras-respuestas N]\n"
    "Servicio central de impresión de demostración: acepta agentes, muestra con hora cada identificación y\n"
    "cada respuesta de estado que recibe, y envía los mensajes de los archivos (cada uno seguido de\n"
    "\"_endMessage_\") a cada agente que se identifica.\n"
    "\n"
    "  --enviar ARCHIVO              mensaje a enviar; se puede repetir, se envían en ese orden\n"
    "  --puerto N                    puerto donde escucha (por omisión 3000)\n"
    "  --salir-tras-respuestas N     termina después de recibir N respuestas de estado\n"
    "  --buzon CARPETA               envía a los agentes conectados cada archivo que aparezca en CARPETA\n"
    "                                (en orden de nombre) y lo borra\n"
    "  --tls --certificado A --clave B [--ca C --exigir-cliente]\n"
    "                                habla TLS con el certificado A y su clave B; con --exigir-cliente solo\n"
    "                                acepta agentes que presenten un certificado emitido por las autoridades C\n"
    "  --help                        muestra esta ayuda\n";

int fallar(const QString& texto) {
    std::fprintf(stderr, "kestrel-servicio: %s\n", qUtf8Printable(texto));
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList argumentos = app.arguments().mid(1);
    QList<QByteArray> mensajes;
    quint16 puerto = kestrel::puertoServicio;
    int salirTras = 0;
    QString buzon;
    kestrel::OpcionesTls tls;
    bool exigirCliente = false;
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        const QString& opcion = argumentos.at(i);
        if (opcion == QLatin1String("--help") || opcion == QLatin1String("-h")) {
            std::fputs(ayuda, stdout);
            return 0;
        }
        if (opcion == QLatin1String("--tls") || opcion == QLatin1String("--exigir-cliente")) {
            (opcion == QLatin1String("--tls") ? tls.activo : exigirCliente) = true;
            continue;
        }
        if (i + 1 >= argumentos.size())
            return fallar(QStringLiteral("falta el valor de %1 (vea --help)").arg(opcion));
        const QString valor = argumentos.at(++i);
        bool ok = true;
        if (opcion == QLatin1String("--enviar")) {
            QFile archivo(valor);
            if (!archivo.open(QIODevice::ReadOnly))
                return fallar(QStringLiteral("no se puede leer %1: %2").arg(valor, archivo.errorString()));
            mensajes.append(archivo.readAll());
        } else if (opcion == QLatin1String("--puerto")) {
            puerto = valor.toUShort(&ok);
            ok = ok && puerto > 0;
        } else if (opcion == QLatin1String("--certificado")) {
            tls.certificado = valor;
        } else if (opcion == QLatin1String("--clave")) {
            tls.clave = valor;
        } else if (opcion == QLatin1String("--ca")) {
            tls.ca = valor;
        } else if (opcion == QLatin1String("--buzon")) {
            buzon = valor;
        } else if (opcion == QLatin1String("--salir-tras-respuestas")) {
            salirTras = valor.toInt(&ok);
            ok = ok && salirTras > 0;
        } else {
            return fallar(QStringLiteral("opcion desconocida %1 (vea --help)").arg(opcion));
        }
        if (!ok)
            return fallar(QStringLiteral("valor no valido para %1: %2").arg(opcion, valor));
    }

    std::optional<QSslConfiguration> configuracionTls;
    if (tls.activo) {
        if (tls.certificado.isEmpty())
            return fallar(QStringLiteral("--tls necesita --certificado y --clave"));
        QSslConfiguration c;
        if (const QString problema = kestrel::prepararTls(tls, c); !problema.isEmpty())
            return fallar(problema);
        c.setPeerVerifyMode(exigirCliente ? QSslSocket::VerifyPeer : QSslSocket::VerifyNone);
        configuracionTls = c;
    } else if (exigirCliente || !tls.certificado.isEmpty() || !tls.ca.isEmpty()) {
        return fallar(QStringLiteral("--certificado, --clave, --ca y --exigir-cliente solo valen con --tls"));
    }

    QTextStream salida(stdout);
    kestrel::ServicioDemo servicio(mensajes, salida, configuracionTls);
    servicio.salirTrasRespuestas(salirTras);
    QObject::connect(&servicio, &kestrel::ServicioDemo::terminado, &app, [] { QCoreApplication::exit(0); });
    if (!servicio.escuchar(puerto)) {
        std::fprintf(stderr, "kestrel-servicio: no se puede escuchar en el puerto %u: %s\n", unsigned{puerto},
                     qUtf8Printable(servicio.error()));
        return 1;
    }
    // Messages at moments a test or a person chooses, after the agent is connected.
    QTimer vigilancia;
    QObject::connect(&vigilancia, &QTimer::timeout, &app, [&] {
        const QDir carpeta(buzon);
        for (const QString& nombre : carpeta.entryList(QDir::Files, QDir::Name)) {
            QFile archivo(carpeta.filePath(nombre));
            if (!archivo.open(QIODevice::ReadOnly))
                continue;
            servicio.enviarATodos(archivo.readAll());
            archivo.remove();
        }
    });
    if (!buzon.isEmpty())
        vigilancia.start(100);
    return app.exec();
}
