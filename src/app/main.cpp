#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>

#include "app/modos.h"
#include "plataforma/plataforma.h"

namespace {

const char* const ayuda =
    "Uso: kestrel-agente [opciones]\n"
    "Agente de impresión de la sucursal: mantiene la conexión con el servicio central de impresión,\n"
    "imprime sus trabajos y avisa en el área de notificación.\n"
    "\n"
    "Opciones del agente:\n"
    "  --servidor HOST[:PUERTO]       servicio central de impresión (por omisión 127.0.0.1:3000)\n"
    "  --carpeta DIR                  carpeta de la aplicación, donde están \"Acceso\" y \"logo.bmp\"\n"
    "  --codificacion NOMBRE          codificación del texto en la conexión (por omisión la del sistema)\n"
    "  --impresoras-virtuales A,B,C   usa impresoras PDF virtuales en lugar de las instaladas (la primera\n"
    "                                 es la predeterminada)\n"
    "  --salida DIR                   carpeta donde las impresoras virtuales dejan sus documentos\n"
    "  --escpos NOMBRE=DESTINO        impresora de recibos ESC/POS sin controlador, que se suma a las demás o\n"
    "                                 reemplaza la del mismo nombre (repetible); DESTINO es tcp://EQUIPO[:PUERTO],\n"
    "                                 cups:COLA o dispositivo:RUTA, con ?ancho=58 para rollos de 58 mm\n"
    "  --propina-cupon VALOR          propina por cupón de plataforma (por omisión 0)\n"
    "  --tls                          habla TLS con el servicio (certificado verificado contra --servidor)\n"
    "  --ca ARCHIVO                   autoridades (PEM) que reemplazan las del sistema para verificarlo\n"
    "  --certificado ARCHIVO          certificado de la sucursal (PEM) para un servicio que lo pide\n"
    "  --clave ARCHIVO                clave privada (PEM, sin contraseña) de ese certificado\n"
    "  --dias-trabajos N              días que el diario guarda cada trabajo (por omisión 30)\n"
    "  --limite-impresion SEGUNDOS    tiempo que tiene una impresora para terminar un documento (120)\n"
    "  --sondeo-impresoras SEGUNDOS   cada cuánto se pregunta su estado a las impresoras (por omisión 30;\n"
    "                                 0: solo al arrancar y alrededor de cada documento)\n"
    "  --metricas [DIRECCIÓN:]PUERTO  publica métricas de Prometheus en http://DIRECCIÓN:PUERTO/metrics\n"
    "                                 (apagado por omisión; DIRECCIÓN 127.0.0.1 si no se indica)\n"
    "  --metricas-certificado ARCHIVO certificado (PEM) para publicar las métricas por HTTPS\n"
    "  --metricas-clave ARCHIVO       clave privada (PEM, sin contraseña) de ese certificado\n"
    "  --config ARCHIVO               lee la configuración de ARCHIVO en lugar de los archivos de siempre\n"
    "\n"
    "Cada opción del agente puede ir también en el archivo de configuración, sección [agente], con su nombre\n"
    "sin guiones (servidor=10.0.0.5:3000). ";

const char* const ayudaHerramientas =
    "\n"
    "Herramientas:\n"
    "  --analizar-json ARCHIVO        analiza un mensaje JSON e imprime el resultado y sus errores\n"
    "  --evaluar-script ARCHIVO       evalúa un script JSON e imprime el texto producido\n"
    "  --previsualizar MENSAJE.json   muestra como texto los documentos que imprime un mensaje\n"
    "      [--impresoras A,B,C] [--predeterminada A] [--averiadas B] [--anotado] [--carpeta DIR]\n"
    "  --trabajos [--carpeta DIR]     lista el diario de trabajos, del más antiguo al más reciente\n"
    "  --reimprimir N [--impresora NOMBRE]\n"
    "                                 imprime otra vez el trabajo N (en la impresora que usó si no se\n"
    "                                 indica otra) con las opciones de impresoras del agente\n"
    "  --version                      muestra la versión\n"
    "  --help                         muestra esta ayuda\n";

} // namespace

// Everything but the agent itself runs without a display: help, version, the tool modes and option errors are
// answered before any GUI application exists.
int main(int argc, char** argv) {
    kestrel::prepararConsola();
    kestrel::prepararGraficos();
    const QStringList argumentos = kestrel::argumentosPrograma(argc, argv);

    if (argumentos.contains(QStringLiteral("--help")) || argumentos.contains(QStringLiteral("-h"))) {
        std::fputs(ayuda, stdout);
        std::fputs(kestrel::ayudaArchivosConfiguracion().toUtf8().constData(), stdout);
        std::fputs(ayudaHerramientas, stdout);
        return 0;
    }
    if (argumentos.contains(QStringLiteral("--version"))) {
        std::puts("kestrel-agente " KESTREL_VERSION);
        return 0;
    }
    const QString primero = argumentos.value(0);
    using Modo = int (*)(const QStringList&);
    Modo consola = nullptr;
    if (primero == QLatin1String("--analizar-json"))
        consola = kestrel::modoAnalizarJson;
    else if (primero == QLatin1String("--evaluar-script"))
        consola = kestrel::modoEvaluarScript;
    else if (primero == QLatin1String("--previsualizar"))
        consola = kestrel::modoPrevisualizar;
    else if (primero == QLatin1String("--trabajos"))
        consola = kestrel::modoTrabajos;
    if (primero == QLatin1String("--reimprimir")) {
        // Printing paints with Qt's fonts, which need a GUI application; a remote shell has no display.
        if (!kestrel::hayPantalla())
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return kestrel::modoReimprimir(argumentos.mid(1));
    }
    if (consola) {
        QCoreApplication app(argc, argv);
        return consola(argumentos.mid(1));
    }
    return kestrel::modoAgente(argc, argv, argumentos);
}
