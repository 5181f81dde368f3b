#include <gtest/gtest.h>

#include "impresion_qt.h"
#include "json/cstringbuilder.h"
#include "json/fallo.h"

#include <functional>

using kestrel::cStringBuilder;
using kestrel::FalloPlataforma;

namespace {

int falloDe(const std::function<void()>& operacion) {
    try {
        operacion();
    } catch (const FalloPlataforma& f) {
        return f.numero();
    }
    return 0;
}

cStringBuilder con(const QString& texto) {
    cStringBuilder b;
    b.Append(texto);
    return b;
}

TEST(cStringBuilder, NuevoVacio) {
    cStringBuilder b;
    EXPECT_EQ(b.toString(), QString());
    EXPECT_EQ(b.Length(), 0);
    EXPECT_EQ(b.Capacity(), 0);
    EXPECT_EQ(b.ChunkSize(), 8192);
}

TEST(cStringBuilder, CreceEnTrozosEnterosDeUnaVez) {
    struct C {
        qsizetype largo;
        std::int32_t capacidad;
    } casos[] = {{1, 8192}, {3, 8192}, {8192, 8192}, {8193, 16384}, {20000, 24576}};
    for (const auto& c : casos) {
        cStringBuilder b = con(QString(c.largo, u'x'));
        EXPECT_EQ(b.Length(), c.largo);
        EXPECT_EQ(b.Capacity(), c.capacidad) << c.largo;
    }
    cStringBuilder b = con(QStringLiteral("abc"));
    EXPECT_EQ(b.toString(), QStringLiteral("abc"));
    b.Append(QString(8190, u'y'));
    EXPECT_EQ(b.Capacity(), 16384);
    EXPECT_EQ(b.toString(), QStringLiteral("abc") + QString(8190, u'y'));
}

TEST(cStringBuilder, AnexosVarios) {
    cStringBuilder b;
    b.AppendNL(QStringLiteral("x"));
    EXPECT_EQ(b.toString(), QStringLiteral("x\r\n"));
    b.AppendByVal(QStringLiteral("ñ"));
    b.Append(QChar(u'!'));
    b.Append(QStringView(u"vista"));
    b.Append(QString());
    EXPECT_EQ(b.toString(), QStringLiteral("x\r\nñ!vista"));
}

TEST(cStringBuilder, InsertarYQuitar) {
    struct C {
        const char* nombre;
        std::function<void(cStringBuilder&)> operacion;
        const char* resultado;
        int fallo;
    } casos[] = {
        {"insertar al principio", [](cStringBuilder& b) { b.Insert(0, QStringLiteral("x")); }, "xabc", 0},
        {"insertar al final", [](cStringBuilder& b) { b.Insert(3, QStringLiteral("x")); }, "abcx", 0},
        {"insertar en medio", [](cStringBuilder& b) { b.InsertByVal(1, QStringLiteral("xy")); }, "axybc", 0},
        {"insertar pasado el final", [](cStringBuilder& b) { b.Insert(4, QStringLiteral("x")); }, "abc", 9},
        {"insertar antes del principio", [](cStringBuilder& b) { b.Insert(-1, QStringLiteral("x")); }, "abc", 9},
        {"quitar uno", [](cStringBuilder& b) { b.Remove(1, 1); }, "ac", 0},
        {"quitar todo", [](cStringBuilder& b) { b.Remove(0, 3); }, "", 0},
        {"quitar nada", [](cStringBuilder& b) { b.Remove(3, 0); }, "abc", 0},
        {"quitar pasado el final", [](cStringBuilder& b) { b.Remove(2, 2); }, "abc", 9},
        {"quitar desde fuera", [](cStringBuilder& b) { b.Remove(4, 0); }, "abc", 9},
        {"quitar negativo", [](cStringBuilder& b) { b.Remove(1, -1); }, "abc", 9},
        {"quitar con desbordamiento", [](cStringBuilder& b) { b.Remove(1, 0x7fffffff); }, "abc", 6},
    };
    for (const auto& c : casos) {
        cStringBuilder b = con(QStringLiteral("abc"));
        EXPECT_EQ(falloDe([&] { c.operacion(b); }), c.fallo) << c.nombre;
        EXPECT_EQ(b.toString(), QString::fromUtf8(c.resultado)) << c.nombre;
        EXPECT_EQ(b.Capacity(), 8192) << c.nombre;
    }
}

TEST(cStringBuilder, BuscarSoloEnElTextoConstruido) {
    cStringBuilder b = con(QStringLiteral("abcdef"));
    b.Remove(3, 3); // "def" stays in the padding
    struct C {
        const char* buscado;
        std::int32_t desde;
        std::int32_t comparar;
        std::int32_t posicion;
    } casos[] = {
        {"c", 1, 0, 3}, {"def", 1, 0, 0}, {"cd", 1, 0, 0}, {"A", 1, 0, 0}, {"A", 1, 1, 1},
        {"b", 3, 0, 0}, {"b", 0, 0, 2},   {"b", -5, 0, 2}, {"c", 4, 0, 0}, {"abc", 1, 0, 1},
    };
    for (const auto& c : casos)
        EXPECT_EQ(b.Find(QString::fromLatin1(c.buscado), c.desde, c.comparar), c.posicion)
            << c.buscado << " desde " << c.desde;
    EXPECT_EQ(b.Find(QStringLiteral("c")), 3);
    EXPECT_EQ(falloDe([&] { (void)b.Find(QStringLiteral("c"), 1, 2); }), 5);
}

TEST(cStringBuilder, ReemplazarElTextoConservaElRelleno) {
    cStringBuilder b = con(QStringLiteral("abcdef"));
    b.TheString(QStringLiteral("xy"));
    EXPECT_EQ(b.toString(), QStringLiteral("xy"));
    EXPECT_EQ(b.Capacity(), 8192);
    EXPECT_EQ(b.Find(QStringLiteral("cd")), 0);
    b.TheString(QString(9000, u'z'));
    EXPECT_EQ(b.Capacity(), 16384);
    b.TheString(QString());
    EXPECT_EQ(b.Length(), 0);
    EXPECT_EQ(b.Capacity(), 0);
}

TEST(cStringBuilder, ClearYHeapMinimize) {
    cStringBuilder b;
    b.Clear();
    b.HeapMinimize();
    EXPECT_EQ(b.Capacity(), 0);

    b.Append(QString(20000, u'x'));
    EXPECT_EQ(b.Capacity(), 24576);
    b.Remove(5000, 15000);
    b.HeapMinimize();
    EXPECT_EQ(b.Capacity(), 8192);
    EXPECT_EQ(b.toString(), QString(5000, u'x'));

    b.Clear();
    EXPECT_EQ(b.Capacity(), 0);
    EXPECT_EQ(b.ChunkSize(), 8192);
}

TEST(cStringBuilder, TamanoDeTrozo) {
    cStringBuilder b;
    b.ChunkSize(4);
    EXPECT_EQ(b.ChunkSize(), 4);
    b.Append(QStringLiteral("abcdefghi"));
    EXPECT_EQ(b.Capacity(), 12);
    for (std::int32_t invalido : {0, -3}) {
        EXPECT_EQ(falloDe([&] { b.ChunkSize(invalido); }), 5);
        EXPECT_EQ(b.ChunkSize(), 4);
    }
    EXPECT_EQ(falloDe([&] { b.ChunkSize(0x40000000); }), 6);
}

} // namespace
