#include <gtest/gtest.h>

#include "impresion_qt.h"
#include "json/fallo.h"
#include "json/valor.h"

#include <functional>

using namespace kestrel;

namespace {

const QLocale colombia(QLocale::Spanish, QLocale::Colombia);

Valor objetoCon(std::initializer_list<std::pair<const char*, Valor>> miembros) {
    auto d = std::make_shared<Dictionary>();
    for (const auto& [k, v] : miembros)
        d->add(QString::fromUtf8(k), v);
    return Valor(d);
}

Valor listaCon(std::initializer_list<Valor> elementos) {
    auto l = std::make_shared<Collection>();
    for (const auto& v : elementos)
        l->add(v);
    return Valor(l);
}

/// The failure number a read raises, or 0 when it raises nothing.
int falloDe(const std::function<void()>& lectura) {
    try {
        lectura();
    } catch (const FalloPlataforma& f) {
        return f.numero();
    }
    return 0;
}

struct Lectura {
    const char* nombre;
    Valor valor;
    const char16_t* texto; // nullptr when reading as text fails
    int falloTexto;
    const char* numero; // nullptr when reading as a number fails
    int falloNumero;
    int falloObjeto; // 0: it is an object
    int falloLista;  // 0: it is a list
};

TEST(Valor, CadaClaseSeLeeComoLoQueEsONoSeLee) {
    const Lectura casos[] = {
        {"vacio", Valor(), u"", 0, "0", 0, 424, 424},
        {"nulo", Valor::nulo(), nullptr, 94, nullptr, 94, 424, 424},
        {"verdadero", Valor(true), u"Verdadero", 0, "-1", 0, 424, 424},
        {"falso", Valor(false), u"Falso", 0, "0", 0, 424, 424},
        {"texto numerico", Valor(QStringLiteral("12,5")), u"12,5", 0, "12.5", 0, 424, 424},
        {"texto agrupado", Valor(QStringLiteral("12.500")), u"12.500", 0, "12500", 0, 424, 424},
        {"texto", Valor(QStringLiteral("Mesa 4")), u"Mesa 4", 0, nullptr, 13, 424, 424},
        {"texto vacio", Valor(QString()), u"", 0, nullptr, 13, 424, 424},
        {"numero", Valor(Decimal::desdeTextoInvariante(u"-1500.75").value()), u"-1500,75", 0, "-1500.75", 0, 424, 424},
        {"objeto", objetoCon({{"a", Valor(Decimal(1))}}), nullptr, 13, nullptr, 13, 0, 13},
        {"lista", listaCon({Valor(Decimal(1))}), nullptr, 13, nullptr, 13, 13, 0},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        if (c.texto)
            EXPECT_EQ(c.valor.comoTexto(colombia), QString::fromUtf16(c.texto));
        else
            EXPECT_EQ(falloDe([&] { (void)c.valor.comoTexto(colombia); }), c.falloTexto);
        if (c.numero)
            EXPECT_EQ(c.valor.comoNumero(colombia).aTexto(), QString::fromLatin1(c.numero));
        else
            EXPECT_EQ(falloDe([&] { (void)c.valor.comoNumero(colombia); }), c.falloNumero);
        EXPECT_EQ(falloDe([&] { (void)c.valor.comoDictionary(); }), c.falloObjeto);
        EXPECT_EQ(falloDe([&] { (void)c.valor.comoCollection(); }), c.falloLista);
    }
}

TEST(Valor, ElVacioNoEsNulo) {
    EXPECT_TRUE(Valor().esVacio());
    EXPECT_FALSE(Valor().esNulo());
    EXPECT_FALSE(Valor().comoBooleano());
    EXPECT_TRUE(Valor::nulo().esNulo());
    EXPECT_FALSE(Valor::nulo().esVacio());
}

TEST(Valor, VerdadDeCadaClase) {
    struct C {
        Valor valor;
        bool verdad;
    } casos[] = {
        {Valor(true), true},
        {Valor(false), false},
        {Valor(Decimal(2)), true},
        {Valor(Decimal()), false},
        {Valor(QStringLiteral("TRUE")), true},
        {Valor(QStringLiteral("false")), false},
        {Valor(QStringLiteral("1")), true},
        {Valor::nulo(), false},
    };
    for (const auto& c : casos)
        EXPECT_EQ(c.valor.comoBooleano(colombia), c.verdad) << c.valor.comoTexto(colombia).toStdString();
    EXPECT_EQ(falloDe([] { (void)Valor(QStringLiteral("quizas")).comoBooleano(); }), 13);
}

TEST(Valor, LosContenedoresSeCompartenAlCopiar) {
    Valor original = objetoCon({{"a", Valor(Decimal(1))}});
    Valor copia = original;
    copia.comoDictionary().add(QStringLiteral("b"), Valor(Decimal(2)));
    EXPECT_EQ(original.comoDictionary().count(), 2);
}

TEST(Dictionary, ClavesExactasEnOrdenDeInsercion) {
    Dictionary d;
    d.add(QStringLiteral("Valor"), Valor(Decimal(1)));
    d.add(QStringLiteral("valor"), Valor(Decimal(2)));
    d.add(QStringLiteral("abc"), Valor(Decimal(3)));
    EXPECT_EQ(d.claves(), (QList<QString>{"Valor", "valor", "abc"}));
    EXPECT_EQ(d.item(QStringLiteral("valor")).comoNumero().aTexto(), "2");
    EXPECT_EQ(d.count(), 3);
}

TEST(Dictionary, UnaClaveRepetidaFallaYConservaElPrimerValor) {
    Dictionary d;
    d.add(QStringLiteral("a"), Valor(Decimal(1)));
    try {
        d.add(QStringLiteral("a"), Valor(Decimal(2)));
        FAIL() << "se esperaba el fallo de clave repetida";
    } catch (const FalloPlataforma& f) {
        EXPECT_EQ(f.numero(), 457);
        EXPECT_EQ(f.descripcion(), QStringLiteral("Esta clave ya está asociada a un elemento de esta colección"));
    }
    EXPECT_EQ(d.item(QStringLiteral("a")).comoNumero().aTexto(), "1");
    EXPECT_EQ(d.count(), 1);
}

TEST(Dictionary, LeerUnaClaveAusenteLaAgregaVacia) {
    Dictionary d;
    EXPECT_TRUE(d.valorSinInsertar(QStringLiteral("x")).esVacio());
    EXPECT_EQ(d.count(), 0);
    EXPECT_TRUE(d.item(QStringLiteral("x")).esVacio());
    EXPECT_EQ(d.count(), 1);
    EXPECT_TRUE(d.existe(QStringLiteral("x")));
    EXPECT_EQ(falloDe([&] { d.add(QStringLiteral("x"), Valor(true)); }), 457);
    d.fijar(QStringLiteral("x"), Valor(true));
    EXPECT_TRUE(d.item(QStringLiteral("x")).booleano());
}

TEST(Collection, SeIndexaDesdeUno) {
    Collection l;
    l.add(Valor(QStringLiteral("primero")));
    l.add(Valor(QStringLiteral("segundo")));
    EXPECT_EQ(l.count(), 2);
    EXPECT_EQ(l.item(1).texto(), QStringLiteral("primero"));
    EXPECT_EQ(l.item(2).texto(), QStringLiteral("segundo"));
    for (int fuera : {0, 3, -1})
        EXPECT_EQ(falloDe([&] { (void)l.item(fuera); }), 9) << fuera;
}

TEST(FalloPlataforma, DescripcionesEstandar) {
    EXPECT_EQ(FalloPlataforma::estandar(9).descripcion(), QStringLiteral("Subíndice fuera del intervalo"));
    EXPECT_EQ(FalloPlataforma::estandar(13).descripcion(), QStringLiteral("No coinciden los tipos"));
    EXPECT_EQ(FalloPlataforma::estandar(6).descripcion(), QStringLiteral("Desbordamiento"));
    EXPECT_EQ(FalloPlataforma::estandar(99999).descripcion(), QStringLiteral("Error de la aplicación"));
    EXPECT_STREQ(FalloPlataforma::estandar(6).what(), "Desbordamiento");
}

} // namespace
