#include "app/modos.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QSize>

#include <cstdio>

#include "app/despachador.h"
#include "app/enmarcador.h"
#include "json/fallo.h"
#include "print/contexto.h"
#include "print/documentos_impresion.h"
#include "print/seleccion.h"
#include "print/qt/sistemas.h"
#include "print/vista_texto.h"

namespace kestrel {

namespace {

void escribirLinea(std::FILE* salida, const QString& linea) {
    escribir(salida, linea + QLatin1Char('\n'));
}

/// Balloons and log lines go to standard error, so standard output carries nothing but the documents.
class AvisosConsola : public Avisos {
public:
    void mostrarGlobo(const QString& mensaje, int icono, const QString& titulo, int tiempoMs) override {
        QString texto = mensaje;
        texto.replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
        escribir(
            stderr,
            QStringLiteral("[globo %1 %2 ms] %3: %4").arg(nombreIconoGlobo(icono)).arg(tiempoMs).arg(titulo, texto));
    }
    void registrar(const QString& entrada) override { escribirLinea(stderr, entrada); }
};

struct Opciones {
    QString mensaje;
    QStringList impresoras{QStringLiteral("Facturas"), QStringLiteral("Cocina"), QStringLiteral("Bar")};
    QString predeterminada;
    QStringList averiadas;
    bool anotado = false;
    QString carpeta;
};

int uso(const QString& motivo) {
    escribirLinea(stderr, motivo);
    escribirLinea(stderr, QStringLiteral("Uso: kestrel-agente --previsualizar MENSAJE.json [--impresoras A,B,C] "
                                         "[--predeterminada A] [--averiadas B] [--anotado] [--carpeta DIR]"));
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
            if (!valor(v) || listaNombres(v).isEmpty())
                return uso(QStringLiteral("--impresoras necesita una lista de nombres separados por comas"));
            o.impresoras = listaNombres(v);
        } else if (a == QLatin1String("--predeterminada")) {
            if (!valor(o.predeterminada))
                return uso(QStringLiteral("--predeterminada necesita un nombre"));
        } else if (a == QLatin1String("--averiadas")) {
            if (!valor(v))
                return uso(QStringLiteral("--averiadas necesita una lista de nombres separados por comas"));
            o.averiadas = listaNombres(v);
        } else if (a == QLatin1String("--carpeta")) {
            if (!valor(o.carpeta))
                return uso(QStringLiteral("--carpeta necesita una carpeta"));
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
    if (o.predeterminada.isEmpty())
        o.predeterminada = o.impresoras.first();
    if (o.carpeta.isEmpty())
        o.carpeta = QCoreApplication::applicationDirPath();
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

    SistemaVistaTexto sistema(o.impresoras, o.predeterminada);
    for (const QString& n : std::as_const(o.averiadas)) {
        if (!sistema.impresora(n))
            escribirLinea(stderr, QStringLiteral("Aviso: la impresora averiada %1 no esta en la lista").arg(n));
        sistema.fijarAveriada(n);
    }
    // The same measure as the real printers: by content, the resolution the file states, 96 dpi otherwise.
    sistema.fijarMedidorImagenes(tamanoImagenNatural);
    const bool anotado = o.anotado;
    sistema.fijarAlTerminar([anotado](const DocumentoVista& d) {
        escribirLinea(stdout, QStringLiteral("=== %1 ===").arg(d.impresora));
        for (const QString& l : d.texto(anotado))
            escribirLinea(stdout, l);
        std::fflush(stdout);
    });
    sistema.fijarAlEscribirCrudo([](const EscrituraCruda& e) {
        escribirLinea(stderr, QStringLiteral("Cajon: %1 bytes enviados a %2: %3")
                                  .arg(e.datos.size())
                                  .arg(e.impresora, QString::fromLatin1(e.datos.toHex(' ').toUpper())));
    });

    AvisosConsola avisos;
    ContextoImpresion ctx(sistema, avisos, o.carpeta);
    DocumentosImpresion documentos(ctx);
    Despachador despachador(documentos, [&avisos](const QString& l) { avisos.registrar(l); });
    despachador.procesarMensaje(mensaje);
    return 0;
}

} // namespace kestrel
