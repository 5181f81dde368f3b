#pragma once

#include <QJsonArray>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <utility>

#include "json/valor.h"
#include "print/avisos.h"
#include "print/contexto.h"
#include "print/vista_texto.h"

namespace kestrel::prueba {

/// Keeps every balloon ("title: message") and log entry, in order.
class AvisosGrabados : public Avisos {
public:
    void mostrarGlobo(const QString& mensaje, int, const QString& titulo, int) override {
        globos << titulo + QStringLiteral(": ") + mensaje;
    }
    void registrar(const QString& entrada) override { registro << entrada; }

    QStringList globos;
    QStringList registro;
};

/// A "config" list of (Nombre, Descripcion) items, all visible.
Valor ajustes(std::initializer_list<std::pair<QString, QString>> pares);
/// A value written in a table (a settings list, say) as the product's reader builds it; null gives no value.
Valor valorDe(const QJsonValue& v);

/// One print call of a table row, with the font it changes first (none when empty or zero).
struct Llamada {
    Linea elementos;
    bool salto = true;
    QString fuente;
    float puntos = 0;
};
/// The calls of a table row: each a list of texts, {"numero": "1.5"} and {"columna": 5}; {"salto": false}
/// among them prints without a line feed, {"fuente": "Courier 17 CPI"} and {"puntos": 12} change the font.
QList<Llamada> llamadasDe(const QJsonValue& llamadas);
/// Prints the calls of a JSON file under tests/data on a printer, ending no document.
void imprimirLlamadas(Impresora& impresora, const QString& archivo);

/// Text-view printers Facturas, Cocina and Bar (Facturas the default), a balloon recorder and the print
/// context over them, with an empty configuration and a fixed clock.
struct Banco {
    explicit Banco(const QStringList& nombres = {QStringLiteral("Facturas"), QStringLiteral("Cocina"),
                                                 QStringLiteral("Bar")},
                   const QString& predeterminada = QStringLiteral("Facturas"));

    SistemaVistaTexto sistema;
    AvisosGrabados avisos;
    ContextoImpresion ctx;

    /// Annotated lines of the document still open on the current printer.
    QStringList abierto() { return lineasAbiertas(true); }
    /// Plain lines of the document still open on the current printer.
    QStringList abiertoPlano() { return lineasAbiertas(false); }

private:
    QStringList lineasAbiertas(bool anotadas);
};

} // namespace kestrel::prueba
