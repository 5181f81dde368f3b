#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <utility>

#include "json/valor.h"
#include "print/avisos.h"
#include "print/contexto.h"
#include "print/vista_texto.h"

namespace kestrel::prueba {

/// A balloon as the window would have shown it.
struct Globo {
    QString mensaje;
    int icono = 0;
    QString titulo;
    int tiempoMs = 0;
};

/// Keeps every balloon and log entry, in order.
class AvisosGrabados : public Avisos {
public:
    void mostrarGlobo(const QString& mensaje, int icono, const QString& titulo, int tiempoMs) override;
    void registrar(const QString& entrada) override { registro << entrada; }

    QList<Globo> globos;
    QStringList registro;
};

/// A JSON object built in place: objeto({{"Nombre", u"Direccion"}, {"Visible", u"1"}}).
Valor objeto(std::initializer_list<std::pair<QString, Valor>> miembros);
Valor lista(std::initializer_list<Valor> elementos);
Valor numero(const char* invariante);
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
    QStringList abierto();
    /// Plain lines of the document still open on the current printer.
    QStringList abiertoPlano();
};

} // namespace kestrel::prueba
