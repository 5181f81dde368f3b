#include "banco.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

#include "json/json.h"
#include "tablas.h"

namespace kestrel::prueba {

Valor ajustes(std::initializer_list<std::pair<QString, QString>> pares) {
    QJsonArray lista;
    for (const auto& [nombre, descripcion] : pares)
        lista.append(QJsonObject{{"Nombre", nombre}, {"Descripcion", descripcion}, {"Visible", "1"}});
    return valorDe(lista);
}

Valor valorDe(const QJsonValue& v) {
    if (!v.isArray() && !v.isObject())
        return Valor();
    return jsonParse(QString::fromUtf8(v.isArray() ? QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact)
                                                   : QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact)));
}

QList<Llamada> llamadasDe(const QJsonValue& llamadas) {
    QList<Llamada> resultado;
    for (const QJsonValue& l : llamadas.toArray()) {
        Llamada llamada;
        for (const QJsonValue& e : l.toArray()) {
            const QJsonObject o = e.toObject();
            llamada.fuente = o["fuente"].toString(llamada.fuente);
            llamada.puntos = static_cast<float>(o["puntos"].toDouble(llamada.puntos));
            if (e.isString())
                llamada.elementos << ElementoLinea::deTexto(e.toString());
            else if (o.contains(QStringLiteral("numero")))
                llamada.elementos << ElementoLinea::deNumero(*Decimal::desdeTextoInvariante(o["numero"].toString()));
            else if (o.contains(QStringLiteral("columna")))
                llamada.elementos << ElementoLinea::deColumna(o["columna"].toInt());

            else
                llamada.salto = o["salto"].toBool(true);
        }
        resultado << llamada;
    }
    return resultado;
}

void imprimirLlamadas(Impresora& impresora, const QString& archivo) {
    const QByteArray llamadas = leerArchivo(carpetaDatos(archivo));
    EXPECT_FALSE(llamadas.isEmpty()) << archivo.toStdString();
    for (const Llamada& l : llamadasDe(QJsonDocument::fromJson(llamadas).array())) {
        if (!l.fuente.isEmpty())
            impresora.fijarNombreFuente(l.fuente);
        if (l.puntos > 0)
            impresora.fijarTamanoFuente(l.puntos);
        impresora.imprimir(l.elementos, l.salto);
    }
}

Banco::Banco(const QStringList& nombres, const QString& predeterminada)
    : sistema(nombres, predeterminada), ctx(sistema, avisos, QString()) {
    ctx.configuracion = valorDe(QJsonArray());
    ctx.reloj = [] { return QDateTime(QDate(2024, 1, 5), QTime(9, 7, 3)); };
}

QStringList Banco::lineasAbiertas(bool anotadas) {
    auto* vista = dynamic_cast<ImpresoraVistaTexto*>(&sistema.actual());
    return DocumentoVista{{}, vista ? vista->documentoAbierto() : QList<LineaVista>()}.texto(anotadas);
}

} // namespace kestrel::prueba
