#pragma once

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

/// A JSON object built in place: objeto({{"Nombre", u"Direccion"}, {"Visible", u"1"}}).
Valor objeto(std::initializer_list<std::pair<QString, Valor>> miembros);
Valor lista(std::initializer_list<Valor> elementos);
/// A "config" list of (Nombre, Descripcion) items, all visible.
Valor ajustes(std::initializer_list<std::pair<QString, QString>> pares);

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
