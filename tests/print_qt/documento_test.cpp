#include <gtest/gtest.h>

#include "banco.h"
#include "print/qt/documento.h"
#include "print/qt/pintor.h"
#include "print/qt/transcripcion.h"
#include "print/vista_texto.h"
#include "tablas.h"

namespace kestrel::prueba {
namespace {

using E = ElementoLinea;

const QLocale colombia(QLocale::Spanish, QLocale::Colombia);

DocumentoGrabado grabar(const QJsonValue& llamadas, const FuenteResuelta& f) {
    DocumentoGrabado d(colombia);
    for (const Llamada& l : llamadasDe(llamadas))
        d.imprimir(l.elementos, l.salto, f);
    return d;
}

// Placing, reading back and paging: tests/data/tablas/documento.json.
TEST(Documento, Tablas) {
    CatalogoFuentes catalogo;
    const FuenteResuelta& f = catalogo.resolver({QStringLiteral("Courier 14 CPI"), 10.0F, false, false});
    comprobarTablas(
        QStringLiteral("documento"),
        {{QStringLiteral("colocar"),
          [&f](const QJsonArray& a) {
              const DocumentoGrabado d = grabar(a[0], f);
              QStringList obtenido;
              for (int r = 0; r < d.renglones().size(); ++r) {
                  for (const TrazoTexto& t : d.renglones()[r].trazos) {
                      EXPECT_DOUBLE_EQ(t.posicion.y(), d.renglones()[r].y);
                      const long columna = std::lround(t.posicion.x() / f.anchoColumna) + 1;
                      obtenido << QStringLiteral("%1:%2:%3").arg(r).arg(columna).arg(t.texto);
                  }
              }
              return obtenido.join(u'\n');
          }},
         {QStringLiteral("transcribir"),
          [&](const QJsonArray& a) { return transcribir(grabar(a[0], catalogo.resolver({})), colombia).join(u'\n'); }},
         {QStringLiteral("paginar"), [&](const QJsonArray& a) {
              const double porPunto = catalogo.resolver({QString(), 10.0F, false, false}).alto / 10.0;
              DocumentoGrabado d;
              for (const QJsonValue& alto : a[0].toArray())
                  d.imprimir({E::deTexto("x")}, true,
                             catalogo.resolver({QString(), static_cast<float>(alto.toDouble()), false, false}));
              QStringList paginas;
              for (const PaginaDocumento& p : paginar(d, a[1].toDouble() * porPunto))
                  paginas << QStringLiteral("%1-%2").arg(p.desde).arg(p.hasta);
              return paginas.join(u' ');
          }}});
}

TEST(Documento, CadaLineaBajaLoQueMideSuFuenteMasAlta) {
    CatalogoFuentes catalogo;
    const FuenteResuelta& chica = catalogo.resolver({QStringLiteral("Courier 17 CPI"), 10.0F, false, false});
    const FuenteResuelta& grande = catalogo.resolver({QStringLiteral("Courier 17 CPI"), 16.0F, false, false});
    DocumentoGrabado d;
    EXPECT_TRUE(d.vacio());
    d.fijarFuente({});
    EXPECT_TRUE(d.vacio()) << "solo las fuentes no hacen un trabajo";
    d.imprimir({E::deTexto("MESA 4")}, true, grande);
    d.imprimir({E::deTexto("a")}, false, chica);
    d.imprimir({E::deTexto("B")}, true, grande);
    d.imprimir({}, true, chica);
    ASSERT_EQ(d.renglones().size(), 4);
    EXPECT_DOUBLE_EQ(d.renglones()[1].y, grande.alto);
    EXPECT_DOUBLE_EQ(d.renglones()[2].y, 2 * grande.alto);
    EXPECT_DOUBLE_EQ(d.renglones()[3].y, 2 * grande.alto + chica.alto);
    EXPECT_DOUBLE_EQ(d.altoTexto(), 2 * grande.alto + chica.alto);
    EXPECT_GT(grande.alto, chica.alto * 1.5);
}

TEST(Documento, LaReproduccionLlevaFuentesEImagenesALaVistaDeTexto) {
    CatalogoFuentes catalogo;
    DocumentoGrabado d;
    EstiloFuente estilo{QStringLiteral("Courier 17 CPI"), 16.0F, true, false};
    d.fijarFuente(estilo);
    d.imprimir({E::deTexto("Mesa 4")}, true, catalogo.resolver(estilo));
    d.dibujarImagen(QStringLiteral("logo.bmp"), QImage(), QRectF(500, 20, 2000, 1000));
    estilo = {QStringLiteral("Courier 17 CPI"), 12.0F, false, false};
    d.fijarFuente(estilo);
    d.imprimir({E::deNumero(Decimal(2)), E::deColumna(7), E::deTexto("Pan")}, true, catalogo.resolver(estilo));

    ImpresoraVistaTexto vista(QStringLiteral("Cocina"));
    vista.fijarMedidorImagenes([](const QString&) { return QSize(); });
    reproducir(d, vista);
    vista.finDocumento();
    ASSERT_EQ(vista.documentos().size(), 1);
    EXPECT_EQ(vista.documentos()[0].texto(true),
              QStringList({"[16B] Mesa 4", "[imagen 2000x1000 en 500,20]", "[12]  2    Pan"}));
    EXPECT_EQ(transcribir(d), QStringList({"Mesa 4", " 2    Pan"}));
}

} // namespace
} // namespace kestrel::prueba
