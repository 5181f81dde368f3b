#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

#include "print/cajon.h"
#include "print/grabador.h"
#include "print/seleccion.h"
#include "print/vista_texto.h"
#include "trabajos/diario_sqlite.h"

using namespace kestrel;

namespace {

// Records what the journal says; a second connection holds the file as another program would.
struct AvisosAnotados : Avisos {
    QStringList dichos;
    void mostrarGlobo(const QString& m, int, const QString&, int) override { dichos << QStringLiteral("globo ") + m; }
    void registrar(const QString& e) override { dichos << e; }
};

// A journal over text-view printers: "Facturas" is the default, "Cocina" fails its probe.
struct Diario : ::testing::Test {
    QTemporaryDir carpeta;
    AvisosAnotados avisos;
    std::shared_ptr<DiarioSqlite> diario = std::make_shared<DiarioSqlite>(carpeta.path(), &avisos);
    GrabadorTrabajos grabador{
        std::make_unique<SistemaVistaTexto>(QStringList{QStringLiteral("Facturas"), QStringLiteral("Cocina")},
                                            QStringLiteral("Facturas")),
        diario};
    ContextoImpresion ctx{grabador, avisos, carpeta.path()};

    void SetUp() override { ctx.grabador = &grabador; }
    void ticket(const QString& area) {
        empezarTrabajo(ctx, TipoTrabajo::Comanda, area);
        if (seleccionarImpresora(ctx, indiceImpresora(ctx, area), 0)) {
            ctx.impresora().imprimir({ElementoLinea::deTexto(QStringLiteral("Mesa 12"))});
            ctx.impresora().finDocumento();
        }
    }
};

} // namespace

TEST_F(Diario, CadaDocumentoDiceDondeTermino) {
    static_cast<SistemaVistaTexto&>(grabador.interno()).fijarAveriada(QStringLiteral("Cocina"));
    ticket(QStringLiteral("Cocina"));
    ticket(QStringLiteral("Bar"));
    static_cast<SistemaVistaTexto&>(grabador.interno()).fijarAveriada(QStringLiteral("Facturas"));
    ticket(QStringLiteral("Cocina"));
    abrirCajon(ctx);
    const QList<EntradaTrabajo> e = diario->entradas();
    ASSERT_EQ(e.size(), 4);
    const QString esperado[][4] = {{"Cocina", "Facturas", "reenviado", "La impresora Cocina no acepta trabajos"},
                                   {"Bar", "Facturas", "reenviado", "Bar no está instalada"},
                                   {"Cocina", "Facturas", "fallido", "La impresora Facturas no acepta trabajos"},
                                   {"Facturas", "Facturas", "fallido", "La impresora Facturas no acepta trabajos"}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ((QStringList{e[i].pedida, e[i].usada, nombreEstadoTrabajo(e[i].estado), e[i].motivo}),
                  QStringList(std::begin(esperado[i]), std::end(esperado[i])));
    }
    EXPECT_EQ(diario->entrada(1)->vista.join(QLatin1Char('|')),
              QStringLiteral("[10] Error en Impresora Facturas|[10] Mesa 12"));
}

TEST_F(Diario, AlEmpezarLoEnviadoSinRespuestaEsDesconocidoYLoViejoSeVa) {
    diario->fijarReloj([] { return QDateTime::currentDateTime().addDays(-31); });
    ticket(QStringLiteral("Facturas"));
    diario->fijarReloj({});
    EntradaTrabajo colgada;
    colgada.documento.dibujarImagen(QStringLiteral(KESTREL_LOGO), 0, 0, 10, 10);
    diario->anotar(colgada);
    colgada.tipo = TipoTrabajo::Factura;
    diario->anotar(colgada);

    DiarioSqlite otro(carpeta.path(), nullptr);
    otro.prepararInicio(30);
    const QList<EntradaTrabajo> e = otro.entradas();
    ASSERT_EQ(e.size(), 2);
    EXPECT_EQ(e[0].numero, 2);
    EXPECT_EQ(e[0].estado, EstadoTrabajo::Desconocido);
    EXPECT_EQ(otro.entrada(3)->documento.imagenes().size(), 1);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("cuenta"));
    db.setDatabaseName(carpeta.filePath(QStringLiteral("trabajos.sqlite")));
    ASSERT_TRUE(db.open());
    QSqlQuery q(QStringLiteral("SELECT COUNT(*) FROM imagenes"), db);
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1) << "el logo se guarda una sola vez";
}

TEST(DiarioCompartido, DosEscritoresALaVezNoPierdenNada) {
    QTemporaryDir carpeta;
    DiarioSqlite(carpeta.path(), nullptr).prepararInicio(30);
    constexpr int porEscritor = 150;
    const auto escribir = [&] {
        DiarioSqlite diario(carpeta.path(), nullptr);
        EntradaTrabajo e;
        e.documento.imprimir({ElementoLinea::deTexto(QStringLiteral("Mesa 12"))}, true);
        for (int i = 0; i < porEscritor; ++i)
            diario.actualizar(diario.anotar(e), EstadoTrabajo::Impreso, QStringLiteral("Cocina"), {});
        EXPECT_TRUE(diario.problema().isEmpty()) << diario.problema().toStdString();
    };
    std::thread otro(escribir);
    escribir();
    otro.join();
    const QList<EntradaTrabajo> e = DiarioSqlite(carpeta.path(), nullptr).entradas();
    ASSERT_EQ(e.size(), 2 * porEscritor);
    for (const EntradaTrabajo& entrada : e)
        ASSERT_EQ(entrada.estado, EstadoTrabajo::Impreso) << entrada.numero;
}

// While another program holds the file, entries and their changes wait in memory (at most 10,000) and are
// written in order once it lets go; provisional numbers still reach their entries. Outage and recovery are
// said once each (a log line and a balloon).
TEST(DiarioOcupado, LoQueNoSePudoEscribirEsperaEnMemoriaYLlegaDespues) {
    QTemporaryDir carpeta;
    AvisosAnotados avisos;
    DiarioSqlite diario(carpeta.path(), &avisos, 20);
    EntradaTrabajo e;
    ASSERT_EQ(diario.anotar(e), 1);
    QSqlDatabase otro = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("otro"));
    otro.setDatabaseName(carpeta.filePath(QStringLiteral("trabajos.sqlite")));
    ASSERT_TRUE(otro.open() && otro.exec(QStringLiteral("BEGIN EXCLUSIVE")).isActive());
    diario.actualizar(1, EstadoTrabajo::Fallido, QStringLiteral("Cocina"), {});
    std::vector<qint64> numeros{diario.anotar(e)};
    diario.actualizar(numeros[0], EstadoTrabajo::Enviando, QStringLiteral("Cocina"), {}, 77);
    while (numeros.back() < 0)
        numeros.push_back(diario.anotar(e));
    EXPECT_EQ(numeros.size(), std::size_t{DiarioSqlite::limitePendientes}) << "1 cambio + 9.999 entradas + 1 perdida";
    otro.exec(QStringLiteral("COMMIT"));
    ASSERT_TRUE(diario.escribirPendientes());
    diario.actualizar(numeros[0], EstadoTrabajo::Impreso, QStringLiteral("Cocina"), {});
    diario.actualizar(numeros[1], EstadoTrabajo::Reenviado, QStringLiteral("Facturas"), {});
    ASSERT_EQ(avisos.dichos.size(), 4) << avisos.dichos.join(u'\n').toStdString();
    EXPECT_TRUE(avisos.dichos[2].contains(QStringLiteral("1 trabajos no cupieron"))) << avisos.dichos[2].toStdString();
    const QList<EntradaTrabajo> escritas = diario.entradas();
    ASSERT_EQ(escritas.size(), DiarioSqlite::limitePendientes);
    EXPECT_EQ(escritas[0].estado, EstadoTrabajo::Fallido);
    EXPECT_EQ(escritas[1].estado, EstadoTrabajo::Impreso);
    EXPECT_EQ(escritas[1].idCups, 77) << "the spooler's job noted while in memory";
    EXPECT_EQ(escritas[2].usada, QStringLiteral("Facturas"));
}

// Whatever the text, the file holds valid UTF-8: a lone surrogate becomes U+FFFD ('~' below), a pair is kept
// ('^' and '_' are the halves of U+1F600).
TEST(DiarioTexto, SoloUtf8Valido) {
    QTemporaryDir carpeta;
    DiarioSqlite diario(carpeta.path(), nullptr);
    const QStringList casos{"Cocina", "Co^cina", "Bar_", "Bar^", "_^!", "Café ^_"};
    const auto texto = [](QString t) {
        return t.replace(u'^', QChar(0xD83D)).replace(u'_', QChar(0xDE00)).replace(u'~', QChar::ReplacementCharacter);
    };
    EntradaTrabajo e;
    for (const QString& c : casos) {
        e.pedida = texto(c);
        diario.actualizar(diario.anotar(e), EstadoTrabajo::Fallido, texto(c), texto(c));
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("lector"));
    db.setDatabaseName(carpeta.filePath(QStringLiteral("trabajos.sqlite")));
    ASSERT_TRUE(db.open());
    QSqlQuery q(QStringLiteral("SELECT CAST(pedida || usada || motivo AS BLOB) FROM trabajos ORDER BY numero"), db);
    for (const QString g : {"Cocina", "Co~cina", "Bar~", "Bar~", "~~!", "Café ^_"})
        EXPECT_TRUE(q.next() && q.value(0).toByteArray() == texto(g).repeated(3).toUtf8()) << g.toStdString();
}
