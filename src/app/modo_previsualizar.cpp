#include "app/modos.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

#include "app/enmarcador.h"
#include "app/opciones_agente.h"
#include "app/vista_previa.h"
#include "json/decimal.h"
#include "print/seleccion.h"

namespace kestrel {

namespace {

void escribirLinea(std::FILE* salida, const QString& linea) {
    escribir(salida, linea + QLatin1Char('\n'));
}

struct Opciones {
    QString mensaje;
    OpcionesVistaPrevia vista;
    bool anotado = false;
};

QString aplicar(Opciones& o, const QString& nombre, const QString& valor) {
    if (nombre.isEmpty()) {
        if (!o.mensaje.isEmpty())
            return QStringLiteral("Sobra el argumento: ") + valor;
        o.mensaje = valor;
    } else if (nombre == QLatin1String("anotado")) {
        o.anotado = true;
    } else if (nombre == QLatin1String("impresoras")) {
        o.vista.impresoras = listaNombres(valor);
        if (o.vista.impresoras.isEmpty())
            return QStringLiteral("--impresoras necesita una lista de nombres separados por comas");
    } else if (nombre == QLatin1String("predeterminada")) {
        o.vista.predeterminada = valor;
    } else if (nombre == QLatin1String("averiadas")) {
        o.vista.averiadas = listaNombres(valor);
    } else if (nombre == QLatin1String("carpeta")) {
        o.vista.carpeta = valor;
    } else {
        const auto numero = Decimal::desdeTextoInvariante(valor);
        if (!numero || numero->negativo())
            return QStringLiteral("--propina-cupon necesita un numero no negativo");
        o.vista.propinaCupon = *numero;
    }
    return {};
}

/// Reads the options; returns the exit code of a usage error, or -1 when they are fine.
int leerOpciones(const QStringList& argumentos, Opciones& o) {
    static const QStringList conValor{QStringLiteral("impresoras"), QStringLiteral("predeterminada"),
                                      QStringLiteral("averiadas"), QStringLiteral("carpeta"),
                                      QStringLiteral("propina-cupon")};
    QString problema =
        recorrerOpciones(argumentos, conValor, {QStringLiteral("anotado")},
                         [&o](const QString& nombre, const QString& valor) { return aplicar(o, nombre, valor); });
    if (problema.isEmpty() && o.mensaje.isEmpty())
        problema = QStringLiteral("Falta el archivo del mensaje");
    if (!problema.isEmpty()) {
        escribirLinea(stderr, problema);
        escribirLinea(stderr, QStringLiteral("Uso: kestrel-agente --previsualizar MENSAJE.json [--impresoras A,B,C] "
                                             "[--predeterminada A] [--averiadas B] [--anotado] [--carpeta DIR] "
                                             "[--propina-cupon N]"));
        return 2;
    }
    if (o.vista.carpeta.isEmpty())
        o.vista.carpeta = QCoreApplication::applicationDirPath();
    return -1;
}

/// The message as the link hands it over: the text before the end marker, when the file carries one.
QString textoDelMensaje(const QByteArray& contenido) {
    QString texto = QString::fromUtf8(contenido);
    qsizetype fin = texto.size();
    while (fin > 0 && texto[fin - 1].isSpace())
        --fin;
    if (QStringView(texto).left(fin).endsWith(marcadorFinMensaje))
        texto.truncate(fin - marcadorFinMensaje.size());
    return texto;
}

} // namespace

int modoPrevisualizar(const QStringList& argumentos) {
    Opciones o;
    if (const int r = leerOpciones(argumentos, o); r >= 0)
        return r;

    QFile archivo(o.mensaje);
    if (!archivo.open(QIODevice::ReadOnly)) {
        escribirLinea(stderr, QStringLiteral("No se puede leer %1: %2").arg(o.mensaje, archivo.errorString()));
        return 1;
    }
    const QString mensaje = textoDelMensaje(archivo.readAll());

    for (const QString& n : std::as_const(o.vista.averiadas)) {
        if (buscarImpresora(o.vista.impresoras, n) < 0)
            escribirLinea(stderr, QStringLiteral("Aviso: la impresora averiada %1 no esta en la lista").arg(n));
    }
    // Standard output carries nothing but the documents, so it can be compared or piped as it is.
    VistaPrevia vista(
        o.vista,
        [](CanalTranscripcion canal, const QString& linea) {
            escribirLinea(canal == CanalTranscripcion::documento ? stdout : stderr, linea);
        },
        o.anotado);
    vista.procesarMensaje(mensaje);
    return 0;
}

} // namespace kestrel
