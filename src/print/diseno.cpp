#include "print/diseno.h"

#include <cmath>
#include <limits>

#include "json/fallo.h"
#include "print/configuracion.h"

namespace kestrel {

namespace {

constexpr int anchoReferencia = 40;

/// The line breaks of a paragraph: CR LF only, a lone CR or LF stays inside the line.
QStringList lineasDeParrafo(const QString& texto) {
    return texto.split(QStringLiteral("\r\n"));
}

/// Six passes of "two blanks become one" (a run of up to 64 blanks collapses to one), then the words. An
/// empty line has no words; a line of blanks keeps empty words and prints as an empty line.
QStringList palabrasDeLinea(QString linea) {
    for (int i = 0; i < 6; ++i)
        linea.replace(QStringLiteral("  "), QStringLiteral(" "));
    if (linea.isEmpty())
        return {};
    return linea.split(QLatin1Char(' '));
}

QString unirPalabras(const QStringList& palabras, qsizetype inicio, qsizetype fin) {
    QString linea;
    for (qsizetype i = inicio; i <= fin; ++i) {
        linea += QLatin1Char(' ');
        linea += palabras[i];
    }
    return quitarBlancos(linea);
}

void imprimirEnColumna(ContextoImpresion& ctx, const QString& linea, int columna) {
    ctx.impresora().imprimir({ElementoLinea::deColumna(columna), ElementoLinea::deTexto(linea)});
}

int columnaIzquierda(int sangria) {
    return sangria < 1 ? 1 : sangria;
}

int columnaCentrada(int ancho, qsizetype largo) {
    const int columna = redondearPar((ancho - static_cast<double>(largo)) / 2.0);
    return columna < 1 ? 1 : columna;
}

/// The wrapping shared by both paragraph printers. medida gives a word's width and the blank's in the unit
/// of ancho. A word as wide as the limit or wider is taken onto the line without being counted, so every
/// printed line holds at least one word and the loop always advances.
template <typename Medida>
void imprimirParrafo(ContextoImpresion& ctx, QString& texto, double ancho, Medida medida, double blanco,
                     const std::function<int(const QString&)>& columnaDe) {
    texto = texto.toUpper();
    for (const QString& linea : lineasDeParrafo(texto)) {
        const QStringList palabras = palabrasDeLinea(linea);
        qsizetype inicio = 0;
        while (inicio < palabras.size()) {
            double acumulado = 0;
            qsizetype fin = inicio;
            for (qsizetype i = inicio; i < palabras.size(); ++i) {
                const double w = medida(palabras[i]);
                if (w < ancho) {
                    if (acumulado + w > ancho)
                        break;
                    acumulado += w + blanco;
                }
                fin = i;
            }
            const QString impresa = unirPalabras(palabras, inicio, fin);
            imprimirEnColumna(ctx, impresa, columnaDe(impresa));
            inicio = fin + 1;
        }
    }
}

} // namespace

int redondearPar(double valor) {
    // nearbyint rounds in the default mode, which is half to even.
    const double r = std::nearbyint(valor);
    if (!(r >= std::numeric_limits<std::int16_t>::min() && r <= std::numeric_limits<std::int16_t>::max()))
        throw FalloPlataforma::estandar(numerofallo::desbordamiento);
    return static_cast<int>(r);
}

QString quitarBlancos(const QString& texto) {
    qsizetype inicio = 0;
    qsizetype fin = texto.size();
    while (inicio < fin && texto[inicio] == QLatin1Char(' '))
        ++inicio;
    while (fin > inicio && texto[fin - 1] == QLatin1Char(' '))
        --fin;
    return texto.mid(inicio, fin - inicio);
}

// The width reads the setting "Tamaño de Factura" (with ñ) and the roll tests read "Tamano de Factura" (plain
// n): two different settings of the service, both kept as they are on purpose.
int anchoRollo(ContextoImpresion& ctx) {
    return valorConfiguracion(ctx, QStringLiteral("Tamaño de Factura")) == QLatin1String("rollo 55mm") ? 32 : 40;
}

bool esRollo55(ContextoImpresion& ctx) {
    return valorConfiguracion(ctx, QStringLiteral("Tamano de Factura")) == QLatin1String("rollo 55mm");
}

bool esRollo75(ContextoImpresion& ctx) {
    return valorConfiguracion(ctx, QStringLiteral("Tamano de Factura")) == QLatin1String("rollo 75mm");
}

int escalarColumna(ContextoImpresion& ctx, int columna) {
    return redondearPar(static_cast<double>(columna) * anchoRollo(ctx) / anchoReferencia);
}

int largoQueCabe(const QString& texto, int ancho) {
    if (texto.isEmpty())
        return 0;
    qsizetype suma = 0;
    for (const QString& palabra : texto.split(QLatin1Char(' '))) {
        if (suma + palabra.size() >= ancho)
            break;
        suma += palabra.size() + 1;
    }
    return static_cast<int>(suma);
}

int espacioLibre(const QString& texto, int ancho) {
    return ancho - static_cast<int>(quitarBlancos(texto).size());
}

void imprimirTexto(ContextoImpresion& ctx, QString& texto, int ancho, int alineacion, int sangria) {
    imprimirParrafo(
        ctx, texto, ancho, [](const QString& p) { return static_cast<double>(p.size()); }, 1.0,
        [&](const QString& linea) {
            return alineacion == 2 ? columnaCentrada(ancho, linea.size()) : columnaIzquierda(sangria);
        });
}

void imprimirTextoMedido(ContextoImpresion& ctx, QString& texto, int& ancho, int alineacion, int sangria) {
    Impresora& impresora = ctx.impresora();
    const int tamano = redondearPar(impresora.tamanoFuente());
    ancho = anchoLinea(ctx);
    impresora.fijarTamanoFuente(static_cast<float>(tamano));
    const double blanco = impresora.anchoTexto(QStringLiteral(" "));
    const int rollo = anchoRollo(ctx);
    imprimirParrafo(
        ctx, texto, ancho, [&impresora](const QString& p) { return impresora.anchoTexto(p); }, blanco,
        [&](const QString& linea) {
            return alineacion == 2 ? columnaCentrada(rollo, linea.size()) : columnaIzquierda(sangria);
        });
}

int anchoLinea(ContextoImpresion& ctx) {
    Impresora& impresora = ctx.impresora();
    const float tamano = impresora.tamanoFuente();
    double medida = 0;
    if (esRollo55(ctx)) {
        impresora.fijarTamanoFuente(7.0F);
        medida = impresora.anchoTexto(QString(30, QLatin1Char('=')));
    } else {
        impresora.fijarTamanoFuente(10.0F);
        medida = impresora.anchoTexto(QString(esRollo75(ctx) ? 34 : 35, QLatin1Char('=')));
    }
    impresora.fijarTamanoFuente(tamano);
    return redondearPar(medida);
}

void imprimirSeparador(ContextoImpresion& ctx, QChar caracter) {
    Impresora& impresora = ctx.impresora();
    const int tamano = redondearPar(impresora.tamanoFuente());
    impresora.fijarTamanoFuente(esRollo55(ctx) ? 7.0F : 10.0F);
    const bool ancho40 = anchoRollo(ctx) == 40;
    int largo = 0;
    if (caracter == QLatin1Char('='))
        largo = ancho40 ? 37 : 30;
    else if (caracter == QLatin1Char('-'))
        largo = ancho40 ? 39 : 30;
    if (largo > 0)
        imprimirEnColumna(ctx, QString(largo, caracter), 1);
    impresora.fijarTamanoFuente(static_cast<float>(tamano));
}

void imprimirLinea(ContextoImpresion& ctx, const QString& texto) {
    ctx.impresora().imprimir({ElementoLinea::deTexto(texto)});
}

void imprimirLineaProducto(ContextoImpresion& ctx, const Decimal& cantidad, const QString& nombre, int columna,
                           int anchoNombre, const QString& importe) {
    const int ancho = anchoRollo(ctx);
    const int corte = largoQueCabe(nombre, escalarColumna(ctx, anchoNombre));
    ctx.impresora().imprimir({ElementoLinea::deNumero(cantidad), ElementoLinea::deColumna(escalarColumna(ctx, columna)),
                              ElementoLinea::deTexto(nombre.left(corte)),
                              ElementoLinea::deColumna(espacioLibre(importe, ancho)), ElementoLinea::deTexto(importe)});
    if (nombre.size() > corte) {
        QString resto = nombre.mid(corte);
        imprimirTexto(ctx, resto, ancho, 0, 5);
    }
}

float tamanoPequeno(ContextoImpresion& ctx) {
    return esRollo55(ctx) ? 7.0F : 10.0F;
}

bool tieneTexto(const Valor& valor) {
    return !valor.esVacio() && !valor.esNulo() && !(valor.esTexto() && valor.texto().isEmpty());
}

} // namespace kestrel
