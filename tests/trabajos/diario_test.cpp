#include <QDir>
#include <QFile>
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

class AvisosMudos : public Avisos {
public:
    void mostrarGlobo(const QString&, int, const QString&, int) override {}
    void registrar(const QString&) override {}
};

class AvisosAnotados : public Avisos {
public:
    QStringList registro;
    QStringList globos;
    void mostrarGlobo(const QString& m, int, const QString&, int) override { globos << m; }
    void registrar(const QString& e) override { registro << e; }
};

// A second connection to the journal's file, as another program reading it would have.
QSqlDatabase otraConexion(const QTemporaryDir& carpeta, const QString& nombre) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nombre);
    db.setDatabaseName(carpeta.filePath(QStringLiteral("trabajos.sqlite")));
    db.open();
    return db;
}

// A journal over text-view printers: "Facturas" is the default, "Cocina" fails its probe.
struct Diario : ::testing::Test {
    QTemporaryDir carpeta;
    AvisosMudos avisos;
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

// While another program holds the file, entries and their changes wait in memory (the oldest 10,000); once it
// lets go they are written in order, with their own times, and the printing's provisional numbers still reach
// them. The outage and the recovery are each said once.
TEST(DiarioOcupado, LoQueNoSePudoEscribirEsperaEnMemoriaYLlegaDespues) {
    QTemporaryDir carpeta;
    AvisosAnotados avisos;
    auto diario = std::make_unique<DiarioSqlite>(carpeta.path(), &avisos, 20);
    EntradaTrabajo e;
    e.pedida = QStringLiteral("Cocina");
    ASSERT_EQ(diario->anotar(e), 1);
    {
        QSqlDatabase otro = otraConexion(carpeta, QStringLiteral("bloqueo"));
        QSqlQuery bloqueo(otro);
        ASSERT_TRUE(bloqueo.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        diario->actualizar(1, EstadoTrabajo::Fallido, QStringLiteral("Cocina"), QStringLiteral("sin papel"));
        const qint64 segunda = diario->anotar(e);
        ASSERT_LT(segunda, 0);
        diario->actualizar(segunda, EstadoTrabajo::Enviando, QStringLiteral("Cocina"), {}, 77);
        std::vector<qint64> provisionales{segunda};
        while (provisionales.back() != 0)
            provisionales.push_back(diario->anotar(e));
        EXPECT_EQ(provisionales.size(), std::size_t{DiarioSqlite::limitePendientes}) << "una actualización y el resto";
        EXPECT_EQ(avisos.globos.size(), 1);
        ASSERT_TRUE(bloqueo.exec(QStringLiteral("COMMIT")));
        ASSERT_TRUE(diario->escribirPendientes());
        diario->actualizar(segunda, EstadoTrabajo::Impreso, QStringLiteral("Cocina"), {});
        diario->actualizar(provisionales[1], EstadoTrabajo::Reenviado, QStringLiteral("Facturas"), QStringLiteral("x"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bloqueo"));
    ASSERT_EQ(avisos.registro.size(), 2) << avisos.registro.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(avisos.registro[1].contains(QStringLiteral("1 trabajos no cupieron")))
        << avisos.registro[1].toStdString();
    EXPECT_EQ(avisos.globos.size(), 2);
    const QList<EntradaTrabajo> escritas = diario->entradas();
    ASSERT_EQ(escritas.size(), DiarioSqlite::limitePendientes);
    const auto resumen = [](const EntradaTrabajo& x) {
        return QStringLiteral("%1 %2 %3 %4").arg(x.numero).arg(nombreEstadoTrabajo(x.estado), x.usada).arg(x.idCups);
    };
    EXPECT_EQ(resumen(escritas[0]), QStringLiteral("1 fallido Cocina 0"));
    EXPECT_EQ(resumen(escritas[1]), QStringLiteral("2 impreso Cocina 77"));
    EXPECT_EQ(resumen(escritas[2]), QStringLiteral("3 reenviado Facturas 0"));
    EXPECT_EQ(diario->pendientes(), 0);
}

// Whatever the text, the file holds valid UTF-8: a lone surrogate becomes U+FFFD, a pair is kept.
TEST(DiarioTexto, SoloUtf8Valido) {
    QTemporaryDir carpeta;
    DiarioSqlite diario(carpeta.path(), nullptr);
    // '^' and '_' stand for the two halves of U+1F600 (D83D, DE00), '?' for U+FFFD.
    const auto texto = [](QString t) {
        return t.replace(QLatin1Char('^'), QChar(0xD83D)).replace(QLatin1Char('_'), QChar(0xDE00));
    };
    const struct {
        QString texto;
        QString guardado;
    } casos[] = {
        {QStringLiteral("Cocina"), QStringLiteral("Cocina")},
        {texto(QStringLiteral("Co^cina")), QStringLiteral("Co\uFFFDcina")},
        {texto(QStringLiteral("Bar_")), QStringLiteral("Bar\uFFFD")},
        {texto(QStringLiteral("Bar^")), QStringLiteral("Bar\uFFFD")},
        {texto(QStringLiteral("_^!")), QStringLiteral("\uFFFD\uFFFD!")},
        {texto(QStringLiteral("Café ^_")), QStringLiteral("Café \U0001F600")},
    };
    for (const auto& c : casos) {
        EntradaTrabajo e;
        e.pedida = c.texto;
        e.usada = c.texto;
        e.motivo = c.texto;
        diario.actualizar(diario.anotar(e), EstadoTrabajo::Fallido, c.texto, c.texto);
    }
    {
        QSqlDatabase db = otraConexion(carpeta, QStringLiteral("lector"));
        QSqlQuery q(QStringLiteral("SELECT CAST(pedida AS BLOB), CAST(usada AS BLOB), CAST(motivo AS BLOB) FROM "
                                   "trabajos ORDER BY numero"),
                    db);
        for (const auto& c : casos) {
            ASSERT_TRUE(q.next());
            for (int columna = 0; columna < 3; ++columna)
                EXPECT_EQ(q.value(columna).toByteArray(), c.guardado.toUtf8()) << c.guardado.toStdString();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("lector"));
}

// A damaged journal is set aside with its write-ahead files beside it, under the same new name.
TEST(DiarioDanado, SeAparteConSusArchivosDeRegistro) {
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("trabajos.sqlite"));
    const QByteArray basura(4096, 'x');
    for (const QString& cola : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        QFile f(ruta + cola);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(basura + cola.toLatin1());
    }
    DiarioSqlite diario(carpeta.path(), nullptr);
    EXPECT_TRUE(diario.disponible());
    const QStringList apartados = QDir(carpeta.path()).entryList({QStringLiteral("trabajos.sqlite.danado-*")});
    ASSERT_EQ(apartados.size(), 3) << apartados.join(QLatin1Char(' ')).toStdString();
    // The shared-memory index is SQLite's to rewrite; the file and its log are kept as they were.
    EXPECT_TRUE(QFile::exists(carpeta.filePath(apartados.first() + QStringLiteral("-shm"))));
    for (const QString& cola : {QString(), QStringLiteral("-wal")}) {
        QFile f(carpeta.filePath(apartados.first() + cola));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << (apartados.first() + cola).toStdString();
        EXPECT_EQ(f.readAll(), basura + cola.toLatin1());
    }
}
