#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

#include "emulador.h"

namespace {

const char* const ayuda =
    "Uso: kestrel-impresora --salida CARPETA [--puerto N] [--estado ESTADO] [--ancho 80|58]\n"
    "                       [--papel-para N] [--no-lee] [--cortar-tras BYTES] [--lee-lento N]\n"
    "                       [--no-contesta] [--control ARCHIVO]\n"
    "Impresora de recibos ESC/POS de prueba en un puerto TCP. Responde al instante al estado en tiempo real\n"
    "(DLE EOT 1, 2 y 4) y guarda cada trabajo (lo que trae una conexión hasta cerrarse, sin los pedidos de\n"
    "estado) como CARPETA/trabajo-N.bin, y lo que se leería en el papel como CARPETA/trabajo-N.txt.\n"
    "\n"
    "  --salida CARPETA     dónde se guardan los trabajos (se crea si falta)\n"
    "  --puerto N           puerto donde escucha (por omisión 9100; 0: uno libre, que se muestra)\n"
    "  --estado ESTADO      normal, papel-por-acabarse, sin-papel, tapa-abierta o fuera-de-linea (por\n"
    "                       omisión normal)\n"
    "  --ancho 80|58        ancho del rollo en milímetros (por omisión 80)\n"
    "  --papel-para N       se queda sin papel al guardar el trabajo N\n"
    "  --no-lee             acepta conexiones y nunca lee de ellas, como una impresora trabada\n"
    "  --cortar-tras BYTES  cierra la conexión cuando un trabajo lleva BYTES bytes\n"
    "  --lee-lento N        lee a lo sumo N bytes por segundo de cada conexión, con un búfer pequeño, como\n"
    "                       una impresora mucho más lenta que la red\n"
    "  --no-contesta        lee todo pero nunca responde al estado, como una impresora sin estado en tiempo real\n"
    "  --control ARCHIVO    toma el estado escrito en ARCHIVO cada vez que cambia (como en --estado), para\n"
    "                       cambiarlo mientras corre\n"
    "  --ayuda              muestra esta ayuda\n";

int fallar(const QString& texto, int codigo = 2) {
    std::fprintf(stderr, "kestrel-impresora: %s\n", qUtf8Printable(texto));
    return codigo;
}

bool leerEstado(const QString& nombre, kestrel::EstadoEscpos& estado) {
    estado = {};
    if (nombre == QLatin1String("sin-papel"))
        estado.sinPapel = true;
    else if (nombre == QLatin1String("tapa-abierta"))
        estado.tapaAbierta = true;
    else if (nombre == QLatin1String("fuera-de-linea"))
        estado.fueraDeLinea = true;
    else if (nombre == QLatin1String("papel-por-acabarse"))
        estado.papelPorAcabarse = true;
    else
        return nombre == QLatin1String("normal");
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList argumentos = app.arguments().mid(1);
    kestrel::OpcionesEmulador opciones;
    quint16 puerto = 9100;
    QString control;
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        const QString& opcion = argumentos.at(i);
        if (opcion == QLatin1String("--ayuda") || opcion == QLatin1String("--help") || opcion == QLatin1String("-h")) {
            std::fputs(ayuda, stdout);
            return 0;
        }
        if (opcion == QLatin1String("--no-lee") || opcion == QLatin1String("--no-contesta")) {
            (opcion == QLatin1String("--no-lee") ? opciones.noLee : opciones.noContesta) = true;
            continue;
        }
        if (i + 1 >= argumentos.size())
            return fallar(QStringLiteral("falta el valor de %1 (vea --ayuda)").arg(opcion));
        const QString valor = argumentos.at(++i);
        bool ok = true;
        if (opcion == QLatin1String("--salida")) {
            opciones.carpeta = valor;
        } else if (opcion == QLatin1String("--puerto")) {
            puerto = valor.toUShort(&ok);
        } else if (opcion == QLatin1String("--estado")) {
            ok = leerEstado(valor, opciones.estado);
        } else if (opcion == QLatin1String("--control")) {
            control = valor;
        } else if (opcion == QLatin1String("--ancho")) {
            ok = valor == QLatin1String("80") || valor == QLatin1String("58");
            opciones.puntosAncho = valor == QLatin1String("58") ? kestrel::puntosRollo58 : kestrel::puntosRollo80;
        } else if (opcion == QLatin1String("--papel-para")) {
            opciones.papelPara = valor.toInt(&ok);
            ok = ok && opciones.papelPara > 0;
        } else if (opcion == QLatin1String("--lee-lento")) {
            opciones.leeLento = valor.toLongLong(&ok);
            ok = ok && opciones.leeLento > 0;
        } else if (opcion == QLatin1String("--cortar-tras")) {
            opciones.cortarTras = valor.toLongLong(&ok);
            ok = ok && opciones.cortarTras > 0;
        } else {
            return fallar(QStringLiteral("opción desconocida %1 (vea --ayuda)").arg(opcion));
        }
        if (!ok)
            return fallar(QStringLiteral("valor no válido para %1: %2").arg(opcion, valor));
    }
    if (opciones.carpeta.isEmpty())
        return fallar(QStringLiteral("falta --salida CARPETA (vea --ayuda)"));
    if (!QDir().mkpath(opciones.carpeta))
        return fallar(QStringLiteral("no se puede crear la carpeta %1").arg(opciones.carpeta), 1);

    QTextStream salida(stdout);
    kestrel::EmuladorEscpos emulador(opciones);
    QObject::connect(&emulador, &kestrel::EmuladorEscpos::informe, &app,
                     [&salida](const QString& linea) { salida << linea << Qt::endl; });
    if (!emulador.escuchar(puerto))
        return fallar(QStringLiteral("no se puede escuchar en el puerto %1: %2").arg(puerto).arg(emulador.error()), 1);
    salida << QStringLiteral("impresora escuchando en el puerto %1; trabajos en %2")
                  .arg(emulador.puerto())
                  .arg(QDir(opciones.carpeta).absolutePath())
           << Qt::endl;
    // A file rather than a signal: a test says which state, and it works the same on every platform.
    QTimer vigilancia;
    QByteArray leido;
    QObject::connect(&vigilancia, &QTimer::timeout, &app, [&] {
        QFile archivo(control);
        if (!archivo.open(QIODevice::ReadOnly))
            return;
        const QByteArray contenido = archivo.readAll().trimmed();
        if (contenido == leido)
            return;
        leido = contenido;
        kestrel::EstadoEscpos estado;
        if (!leerEstado(QString::fromUtf8(contenido), estado)) {
            salida << QStringLiteral("estado desconocido en %1: %2").arg(control, QString::fromUtf8(contenido))
                   << Qt::endl;
            return;
        }
        emulador.fijarEstado(estado);
        salida << QStringLiteral("estado: %1").arg(QString::fromUtf8(contenido)) << Qt::endl;
    });
    if (!control.isEmpty())
        vigilancia.start(100);
    return app.exec();
}
