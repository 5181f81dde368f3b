#include "banco.h"

#include <memory>

namespace kestrel::prueba {

Valor objeto(std::initializer_list<std::pair<QString, Valor>> miembros) {
    auto d = std::make_shared<Dictionary>();
    for (const auto& [clave, valor] : miembros)
        d->add(clave, valor);
    return Valor(d);
}

Valor lista(std::initializer_list<Valor> elementos) {
    auto c = std::make_shared<Collection>();
    for (const Valor& v : elementos)
        c->add(v);
    return Valor(c);
}

Valor ajustes(std::initializer_list<std::pair<QString, QString>> pares) {
    auto c = std::make_shared<Collection>();
    for (const auto& [nombre, descripcion] : pares)
        c->add(objeto({{QStringLiteral("Nombre"), nombre},
                       {QStringLiteral("Descripcion"), descripcion},
                       {QStringLiteral("Visible"), QStringLiteral("1")}}));
    return Valor(c);
}

Banco::Banco(const QStringList& nombres, const QString& predeterminada)
    : sistema(nombres, predeterminada), ctx(sistema, avisos, QString()) {
    ctx.configuracion = lista({});
    ctx.reloj = [] { return QDateTime(QDate(2024, 1, 5), QTime(9, 7, 3)); };
}

QStringList Banco::lineasAbiertas(bool anotadas) {
    auto* vista = dynamic_cast<ImpresoraVistaTexto*>(&sistema.actual());
    return DocumentoVista{{}, vista ? vista->documentoAbierto() : QList<LineaVista>()}.texto(anotadas);
}

} // namespace kestrel::prueba
