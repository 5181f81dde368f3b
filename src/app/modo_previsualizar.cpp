#include "app/modos.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

#include "app/vista_previa.h"
#include "json/decimal.h"

namespace kestrel {

namespace {

const QString marcaFin = QStringLiteral("_endMessage_");

void escribir(std::FILE* salida, const QString& linea) {
    const QByteArray bytes = linea.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), salida);
    std::fputc('\n', salida);
}

struct Opciones {
    QString mensaje;
    OpcionesVistaPrevia vista;
    bool anotado = false;
};

int uso(const QString& motivo) {
    escribir(stderr, motivo);
    escribir(stderr,
             QStringLiteral("Uso: kestrel-agente --previsualizar MENSAJE.json [--impresoras A,B,C] "
                            "[--predeterminada A] [--averiadas B] [--anotado] [--carpeta DIR] [--propina-cupon N]"));
    return 2;
}

/// Reads the options; returns the exit code of a usage error, or -1 when they are fine.
int leerOpciones(const QStringList& argumentos, Opciones& o) {
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        const QString& a = argumentos[i];
        const auto valor = [&](QString& destino) {
            if (i + 1 >= argumentos.size())
                return false;
            destino = argumentos[++i];
            return true;
        };
        QString v;
        if (a == QLatin1String("--anotado")) {
            o.anotado = true;
        } else if (a == QLatin1String("--impresoras")) {
            if (!valor(v) || listaDeNombres(v).isEmpty())
                return uso(QStringLiteral("--impresoras necesita una lista de nombres separados por comas"));
            o.vista.impresoras = listaDeNombres(v);
        } else if (a == QLatin1String("--predeterminada")) {
            if (!valor(o.vista.predeterminada))
                return uso(QStringLiteral("--predeterminada necesita un nombre"));
        } else if (a == QLatin1String("--averiadas")) {
            if (!valor(v))
                return uso(QStringLiteral("--averiadas necesita una lista de nombres separados por comas"));
            o.vista.averiadas = listaDeNombres(v);
        } else if (a == QLatin1String("--carpeta")) {
            if (!valor(o.vista.carpeta))
                return uso(QStringLiteral("--carpeta necesita una carpeta"));
        } else if (a == QLatin1String("--propina-cupon")) {
            const auto numero = valor(v) ? Decimal::desdeTextoInvariante(v) : std::nullopt;
            if (!numero || numero->negativo())
                return uso(QStringLiteral("--propina-cupon necesita un numero no negativo"));
            o.vista.propinaCupon = *numero;
        } else if (a.startsWith(QLatin1String("--"))) {
            return uso(QStringLiteral("Opcion desconocida: ") + a);
        } else if (o.mensaje.isEmpty()) {
            o.mensaje = a;
        } else {
            return uso(QStringLiteral("Sobra el argumento: ") + a);
        }
    }
    if (o.mensaje.isEmpty())
        return uso(QStringLiteral("Falta el archivo del mensaje"));
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
    if (QStringView(texto).left(fin).endsWith(marcaFin))
        texto.truncate(fin - marcaFin.size());
    return texto;
}

} // namespace

int modoPrevisualizar(const QStringList& argumentos) {
    Opciones o;
    if (const int r = leerOpciones(argumentos, o); r >= 0)
        return r;

    QFile archivo(o.mensaje);
    if (!archivo.open(QIODevice::ReadOnly)) {
        escribir(stderr, QStringLiteral("No se puede leer %1: %2").arg(o.mensaje, archivo.errorString()));
        return 1;
    }
    const QString mensaje = textoDelMensaje(archivo.readAll());

    for (const QString& n : std::as_const(o.vista.averiadas)) {
        if (!o.vista.impresoras.contains(n))
            escribir(stderr, QStringLiteral("Aviso: la impresora averiada %1 no esta en la lista").arg(n));
    }
    // Standard output carries nothing but the documents, so it can be compared or piped as it is.
    VistaPrevia vista(
        o.vista,
        [](CanalTranscripcion canal, const QString& linea) {
            escribir(canal == CanalTranscripcion::documento ? stdout : stderr, linea);
            std::fflush(stdout);
        },
        o.anotado);
    vista.procesarMensaje(mensaje);
    return 0;
}

} // namespace kestrel
