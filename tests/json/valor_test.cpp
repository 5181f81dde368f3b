#include <gtest/gtest.h>

#include "impresion_qt.h"
#include "json/fallo.h"
#include "json/valor.h"
#include "tablas.h"

using namespace kestrel;
using prueba::falloO;

namespace {

const QLocale colombia(QLocale::Spanish, QLocale::Colombia);

/// A value of the named class: "vacio", "nulo", "booleano", "texto", "numero", "objeto" (one member) or "lista".
Valor valorDe(const QString& clase, const QJsonValue& v) {
    if (clase == u"nulo")
        return Valor::nulo();
    if (clase == u"booleano")
        return Valor(v.toBool());
    if (clase == u"texto")
        return Valor(v.toString());
    if (clase == u"numero")
        return Valor(Decimal::desdeTextoInvariante(v.toString()).value());
    if (clase == u"objeto") {
        auto d = std::make_shared<Dictionary>();
        d->add(QStringLiteral("a"), Valor(Decimal(1)));
        return Valor(d);
    }
    if (clase == u"lista") {
        auto l = std::make_shared<Collection>();
        l->add(Valor(Decimal(1)));
        return Valor(l);
    }
    return Valor();
}

// What each class reads as, which reads fail with which number, and the standard failures' descriptions:
// tests/data/tablas/valor.json.
TEST(Valor, Tablas) {
    prueba::comprobarTablas(
        QStringLiteral("valor"),
        {{QStringLiteral("leer"),
          [](const QJsonArray& a) {
              const Valor v = valorDe(a[0].toString(), a[1]);
              return QStringList{falloO([&] { return v.comoTexto(colombia); }),
                                 falloO([&] { return v.comoNumero(colombia).aTexto(); }),
                                 falloO([&] { return v.comoDictionary(), QStringLiteral("objeto"); }),
                                 falloO([&] { return v.comoCollection(), QStringLiteral("lista"); })}
                  .join(u'\n');
          }},
         {QStringLiteral("estandar"),
          [](const QJsonArray& a) {
              const FalloPlataforma f = FalloPlataforma::estandar(a[0].toInt());
              EXPECT_EQ(QString::fromUtf8(f.what()), f.descripcion());
              return f.descripcion();
          }},
         {QStringLiteral("verdad"), [](const QJsonArray& a) {
              return falloO([&] { return QString::number(valorDe(a[0].toString(), a[1]).comoBooleano(colombia)); });
          }}});
    EXPECT_FALSE(Valor().esNulo());
    EXPECT_FALSE(Valor::nulo().esVacio());
}

TEST(Valor, LosContenedoresSeCompartenAlCopiar) {
    Valor original = valorDe(QStringLiteral("objeto"), {});
    Valor copia = original;
    copia.comoDictionary().add(QStringLiteral("b"), Valor(Decimal(2)));
    EXPECT_EQ(original.comoDictionary().count(), 2);
}

TEST(Dictionary, ClavesExactasEnOrdenDeInsercionYSinRepetir) {
    Dictionary d;
    d.add(QStringLiteral("Valor"), Valor(Decimal(1)));
    d.add(QStringLiteral("valor"), Valor(Decimal(2)));
    EXPECT_EQ(d.claves(), (QList<QString>{"Valor", "valor"}));
    EXPECT_EQ(d.item(QStringLiteral("valor")).comoNumero().aTexto(), "2");
    EXPECT_EQ(falloO([&] { return d.add(QStringLiteral("valor"), Valor(Decimal(3))), QString(); }, true),
              QStringLiteral("fallo 457: Esta clave ya está asociada a un elemento de esta colección"));
    EXPECT_EQ(d.item(QStringLiteral("valor")).comoNumero().aTexto(), "2") << "the first value stays";
    EXPECT_EQ(d.count(), 2);
}

TEST(Dictionary, LeerUnaClaveAusenteLaAgregaVacia) {
    Dictionary d;
    EXPECT_TRUE(d.valorSinInsertar(QStringLiteral("x")).esVacio());
    EXPECT_EQ(d.count(), 0);
    EXPECT_TRUE(d.item(QStringLiteral("x")).esVacio());
    EXPECT_TRUE(d.existe(QStringLiteral("x")));
    EXPECT_EQ(falloO([&] { return d.add(QStringLiteral("x"), Valor(true)), QString(); }), QStringLiteral("fallo 457"));
    d.fijar(QStringLiteral("x"), Valor(true));
    EXPECT_TRUE(d.item(QStringLiteral("x")).booleano());
}

TEST(Collection, SeIndexaDesdeUno) {
    Collection l;
    l.add(Valor(QStringLiteral("primero")));
    l.add(Valor(QStringLiteral("segundo")));
    EXPECT_EQ(l.item(1).texto(), QStringLiteral("primero"));
    EXPECT_EQ(l.item(2).texto(), QStringLiteral("segundo"));
    for (int fuera : {0, 3, -1})
        EXPECT_EQ(falloO([&] { return l.item(fuera).texto(); }), QStringLiteral("fallo 9")) << fuera;
}

} // namespace
