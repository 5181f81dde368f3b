// Layout helpers: roll widths, column scaling, rounding, wrapping and separators, as tables in
// tests/data/tablas/diseno.json.

#include <gtest/gtest.h>

#include <QJsonObject>

#include "banco.h"
#include "print/diseno.h"
#include "tablas.h"

namespace kestrel::prueba {
namespace {

/// The roll setting in both spellings; a null leaves that spelling out.
Valor rollo(const QJsonValue& conEnie, const QJsonValue& sinEnie) {
    QJsonArray lista;
    for (const auto& [nombre, valor] : {std::pair{"Tamaño de Factura", conEnie}, {"Tamano de Factura", sinEnie}}) {
        if (valor.isString())
            lista.append(QJsonObject{{"Nombre", nombre}, {"Descripcion", valor}, {"Visible", "1"}});
    }
    return valorDe(lista);
}

/// The open document's separators as "[size] <character><count>".
QString separadores(Banco& b) {
    QStringList r;
    for (const QString& l : b.abierto()) {
        const qsizetype fin = l.indexOf(u']') + 2;
        r << l.left(fin) + l[fin] + QString::number(l.size() - fin);
    }
    return r.join(QStringLiteral(" | "));
}

TEST(Diseno, Tablas) {
    const auto imprimir = [](const QJsonArray& a, bool medido) {
        Banco b;
        QString texto = a[medido ? 2 : 0].toString();
        int ancho = medido ? a[3].toInt() : a[1].toInt();
        if (medido) {
            b.ctx.configuracion = a[1].toBool() ? rollo("rollo 55mm", "rollo 55mm") : valorDe(QJsonArray());
            b.ctx.impresora().fijarTamanoFuente(static_cast<float>(a[0].toDouble()));
            imprimirTextoMedido(b.ctx, texto, ancho, a[4].toInt(), 0);
            return (b.abierto() << QStringLiteral("ancho %1").arg(ancho)).join(u'\n');
        }
        imprimirTexto(b.ctx, texto, ancho, a[2].toInt(), a[3].toInt());
        EXPECT_EQ(texto, a[0].toString().toUpper());
        QStringList lineas = b.abiertoPlano();
        lineas.replaceInStrings(QStringLiteral("\n"), QStringLiteral("\\n"));
        return lineas.isEmpty() ? QStringLiteral("(nada)") : lineas.join(u'\n');
    };
    comprobarTablas(
        QStringLiteral("diseno"),
        {{QStringLiteral("rollo"),
          [](const QJsonArray& a) {
              Banco b;
              b.ctx.configuracion = rollo(a[0], a[1]);
              b.ctx.impresora().fijarTamanoFuente(12.5F);
              const QString r = QStringLiteral("%1 %2 %3 %4")
                                    .arg(anchoRollo(b.ctx))
                                    .arg(esRollo55(b.ctx))
                                    .arg(esRollo75(b.ctx))
                                    .arg(anchoLinea(b.ctx));
              EXPECT_EQ(b.ctx.impresora().tamanoFuente(), 12.5F) << "el tamaño exacto vuelve";
              imprimirSeparador(b.ctx, u'=');
              imprimirSeparador(b.ctx, u'-');
              return r + QStringLiteral(" | ") + separadores(b);
          }},
         {QStringLiteral("separador"),
          [](const QJsonArray& a) {
              Banco b;
              b.ctx.impresora().fijarTamanoFuente(static_cast<float>(a[0].toDouble()));
              imprimirSeparador(b.ctx, a[1].toString()[0]);
              return (b.abierto() << QStringLiteral("tamaño %1").arg(b.ctx.impresora().tamanoFuente())).join(u'\n');
          }},
         {QStringLiteral("escalarColumna"),
          [](const QJsonArray& a) {
              Banco b;
              b.ctx.configuracion = rollo("rollo 55mm", QJsonValue());
              const int en55 = escalarColumna(b.ctx, a[0].toInt());
              b.ctx.configuracion = valorDe(QJsonArray());
              return QStringLiteral("%1 %2").arg(en55).arg(escalarColumna(b.ctx, a[0].toInt()));
          }},
         {QStringLiteral("redondearPar"),
          [](const QJsonArray& a) { return falloO([&] { return QString::number(redondearPar(a[0].toDouble())); }); }},
         {QStringLiteral("largoQueCabe"),
          [](const QJsonArray& a) { return QString::number(largoQueCabe(a[0].toString(), a[1].toInt())); }},
         {QStringLiteral("espacioLibre"),
          [](const QJsonArray& a) { return QString::number(espacioLibre(a[0].toString(), a[1].toInt())); }},
         {QStringLiteral("imprimirTexto"), [imprimir](const QJsonArray& a) { return imprimir(a, false); }},
         {QStringLiteral("imprimirTextoMedido"), [imprimir](const QJsonArray& a) { return imprimir(a, true); }}});
}

} // namespace
} // namespace kestrel::prueba
