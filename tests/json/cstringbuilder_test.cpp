#include <gtest/gtest.h>

#include "json/cstringbuilder.h"
#include "json/fallo.h"
#include "tablas.h"

using kestrel::cStringBuilder;
using kestrel::prueba::falloO;

namespace {

cStringBuilder con(const QString& texto) {
    cStringBuilder b;
    b.Append(texto);
    return b;
}

// Growth, editing with its failures and searching: tests/data/tablas/cstringbuilder.json.
TEST(cStringBuilder, Tablas) {
    kestrel::prueba::comprobarTablas(
        QStringLiteral("cstringbuilder"),
        {{QStringLiteral("crecer"),
          [](const QJsonArray& a) {
              const cStringBuilder b = con(QString(a[0].toInt(), u'x'));
              EXPECT_EQ(b.Length(), a[0].toInt());
              return QString::number(b.Capacity());
          }},
         {QStringLiteral("editar"),
          [](const QJsonArray& a) {
              cStringBuilder b = con(QStringLiteral("abc"));
              const QString op = a[0].toString();
              QString fallo = falloO([&] {
                  if (op == u"Remove")
                      b.Remove(a[1].toInt(), a[2].toInt());
                  else if (op == u"Insert")
                      b.Insert(a[1].toInt(), a[2].toString());
                  else
                      b.InsertByVal(a[1].toInt(), a[2].toString());
                  return QString();
              });
              EXPECT_EQ(b.Capacity(), 8192);
              return fallo.isEmpty() ? b.toString() : fallo + u' ' + b.toString();
          }},
         {QStringLiteral("buscar"), [](const QJsonArray& a) {
              cStringBuilder b = con(QStringLiteral("abcdef"));
              b.Remove(3, 3);
              return falloO([&] { return QString::number(b.Find(a[0].toString(), a[1].toInt(), a[2].toInt())); });
          }}});
}

TEST(cStringBuilder, AnexosYCrecimientoSinPerderElTexto) {
    cStringBuilder b;
    EXPECT_EQ(b.Capacity(), 0);
    b.AppendNL(QStringLiteral("x"));
    b.AppendByVal(QStringLiteral("ñ"));
    b.Append(QChar(u'!'));
    b.Append(QStringView(u"vista"));
    b.Append(QString());
    EXPECT_EQ(b.toString(), QStringLiteral("x\r\nñ!vista"));
    b.Append(QString(8190, u'y'));
    EXPECT_EQ(b.Capacity(), 16384);
    EXPECT_EQ(b.toString(), QStringLiteral("x\r\nñ!vista") + QString(8190, u'y'));
}

TEST(cStringBuilder, ReemplazarVaciarYMinimizar) {
    cStringBuilder b = con(QStringLiteral("abcdef"));
    b.TheString(QStringLiteral("xy"));
    EXPECT_EQ(b.toString(), QStringLiteral("xy"));
    EXPECT_EQ(b.Find(QStringLiteral("cd")), 0) << "the old text in the padding is not found";
    b.TheString(QString(20000, u'z'));
    EXPECT_EQ(b.Capacity(), 24576);
    b.Remove(5000, 15000);
    b.HeapMinimize();
    EXPECT_EQ(b.Capacity(), 8192);
    EXPECT_EQ(b.toString(), QString(5000, u'z'));
    b.TheString(QString());
    EXPECT_EQ(b.Capacity(), 0);
    b.Append(QStringLiteral("a"));
    b.Clear();
    EXPECT_EQ(b.Capacity(), 0);
}

TEST(cStringBuilder, TamanoDeTrozo) {
    cStringBuilder b;
    b.ChunkSize(4);
    b.Append(QStringLiteral("abcdefghi"));
    EXPECT_EQ(b.Capacity(), 12);
    EXPECT_EQ(falloO([&] { return b.ChunkSize(0), QString(); }), QStringLiteral("fallo 5"));
    EXPECT_EQ(falloO([&] { return b.ChunkSize(-3), QString(); }), QStringLiteral("fallo 5"));
    EXPECT_EQ(b.ChunkSize(), 4);
    EXPECT_EQ(falloO([&] { return b.ChunkSize(0x40000000), QString(); }), QStringLiteral("fallo 6"));
}

} // namespace
