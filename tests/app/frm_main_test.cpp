#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>

#include <memory>

#include "app/frm_main.h"
#include "app/impresion_agente.h"
#include "area_notificacion_prueba.h"
#include "dialogos_prueba.h"
#include "documentos_espia.h"
#include "servicio_prueba.h"
#include "tablas.h"
#include "tray/caja_imagen.h"

namespace kestrel {
namespace {

using prueba::AreaNotificacionPrueba;
using prueba::DialogosPrueba;
using prueba::esperarHasta;

const QByteArray codigo = QByteArrayLiteral("123456789012345\r\n");
const QByteArray estadoLibre = QByteArrayLiteral("{\"idSyA\":\"123456789012345\",\"status\":\"0\"}");

using prueba::escribirArchivo;
using prueba::leerArchivo;

class VentanaTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    prueba::ServicioPrueba servicio;
    DialogosPrueba dialogos;
    AreaNotificacionPrueba area;
    prueba::DocumentosEspia* espia = nullptr;
    QList<int> salidas;
    std::unique_ptr<frmMain> ventana;

    void SetUp() override { ASSERT_TRUE(servicio.escuchar()); }

    QString acceso() const { return dir.filePath(QStringLiteral("Acceso")); }
    QString logo() const { return dir.filePath(QStringLiteral("logo.bmp")); }

    DependenciasVentana dependencias(Dialogos& d, AreaNotificacion& a) {
        DependenciasVentana dep;
        dep.dialogos = &d;
        dep.area = &a;
        dep.carpetaAplicacion = dir.path();
        dep.enlace.puerto = servicio.puerto();
        dep.enlace.intervaloVigilancia = 20;
        dep.enlace.intervaloPing = 3600 * 1000;
        dep.crearDocumentos = [this](Avisos&, TrabajosAgente&) -> std::unique_ptr<Documentos> {
            auto e = std::make_unique<prueba::DocumentosEspia>();
            espia = e.get();
            return e;
        };
        dep.terminar = [this](int c) { salidas << c; };
        return dep;
    }

    // Starts the window over the given "Acceso" file (a null one leaves the folder without it).
    void arrancar(const QByteArray& archivo = codigo) {
        ASSERT_TRUE(archivo.isNull() || escribirArchivo(acceso(), archivo));
        ventana.reset();
        ventana = std::make_unique<frmMain>(dependencias(dialogos, area));
        EXPECT_TRUE(ventana->Form_Load());
    }

    template <typename T> T* control(const char* nombre) {
        T* c = ventana->findChild<T*>(QString::fromLatin1(nombre));
        EXPECT_NE(c, nullptr) << nombre;
        return c;
    }

    void conectada() {
        ASSERT_TRUE(esperarHasta([&] { return servicio.identificaciones().size() == 1; }));
        ASSERT_TRUE(esperarHasta([&] { return ventana->enlace().estadoSocket() == 7; }));
    }
};

// The controls and their texts, and whether the window shows at start: tests/data/tablas/frm_main.json.
TEST_F(VentanaTest, ControlesYPalabraClave) {
    prueba::comprobarTablas(QStringLiteral("frm_main"), {{QStringLiteral("arranque"),
                                                          [&](const QJsonArray& a) {
                                                              area.hayArea = a[1].toBool();
                                                              arrancar(a[0].toString().toUtf8());
                                                              EXPECT_EQ(dialogos.preguntas(), 0);
                                                              const char* estado = ventana->isMinimized() ? "minimizada"
                                                                                   : ventana->isVisible() ? "visible"
                                                                                                          : "oculta";
                                                              ventana.reset();
                                                              return QString::fromLatin1(estado);
                                                          }},
                                                         {QStringLiteral("texto"), [&](const QJsonArray& a) {
                                                              if (!ventana) {
                                                                  area.hayArea = true;
                                                                  arrancar();
                                                              }
                                                              if (a[0].toString().isEmpty())
                                                                  return ventana->windowTitle();
                                                              QWidget* w =
                                                                  ventana->findChild<QWidget*>(a[0].toString());
                                                              if (!w)
                                                                  return QStringLiteral("<no existe>");
                                                              auto* tabs = qobject_cast<QTabWidget*>(w);
                                                              if (!tabs)
                                                                  return w->property("text").toString();
                                                              QStringList pestanas;
                                                              for (int i = 0; i < tabs->count(); ++i)
                                                                  pestanas << tabs->tabText(i);
                                                              return pestanas.join(u'\n');
                                                          }}});
}

// The tray icon at start, its menu, and the window controls: only the left-button press (513) shows the window,
// the title bar only hides it, and "Apagar Servidor" removes the icon and ends the agent.
TEST_F(VentanaTest, LaBandejaYLosControlesDeLaVentana) {
    arrancar();
    EXPECT_FALSE(ventana->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    ASSERT_FALSE(area.llamadas.isEmpty());
    EXPECT_EQ(area.llamadas.first().comando, ComandoIcono::Agregar);
    EXPECT_FALSE(area.llamadas.first().registro.hIcon.isNull()) << "the window's own icon";
    EXPECT_EQ(area.tipActual(), QStringLiteral("Conectando"));
    EXPECT_EQ(ventana->systray().TooltipText(), QStringLiteral("Sincronizador Kestrel"));
    const RegistroIcono globo = area.globos().first();
    EXPECT_EQ(globo.szInfo, QStringLiteral("Conectando al servidor de impresion "));
    EXPECT_EQ(globo.szInfoTitle, QStringLiteral("Sistema de impresora"));
    EXPECT_EQ(globo.dwInfoFlags, 1u);
    EXPECT_EQ(globo.uTimeout, 30000u);
    ASSERT_NE(area.menu, nullptr);
    QStringList menu;
    for (QAction* a : area.menu->actions())
        if (!a->isSeparator())
            menu << a->text();
    EXPECT_EQ(menu, (QStringList{"Mostrar ventana", "Send Status Free", "Trabajos", "Apagar Servidor"}));

    for (int c : {514, 515, 517, 1027, 1028, 1029})
        area.simular(c);
    EXPECT_FALSE(ventana->isVisible());
    area.simular(513);
    EXPECT_TRUE(ventana->isVisible());
    control<QPushButton>("Command3")->click();
    EXPECT_FALSE(ventana->isVisible());
    ventana->Form_MouseMove(0, 0, 7695.0, 0);
    EXPECT_TRUE(ventana->isVisible());
    EXPECT_FALSE(ventana->close());
    EXPECT_FALSE(ventana->isVisible());
    EXPECT_TRUE(salidas.isEmpty());
    control<QPushButton>("Command4")->click();
    EXPECT_EQ(area.llamadas.last().comando, ComandoIcono::Borrar);
    EXPECT_FALSE(area.presente);
    EXPECT_EQ(salidas, QList<int>{0});
}

TEST_F(VentanaTest, SinCodigoSePreguntaAntesDeConectarYSeGuarda) {
    int estadoAlPreguntar = -1;
    dialogos.alPreguntar = [&](const QString&) {
        // The watch keeps ticking while the question is open; it must not connect and identify with an empty code.
        ventana->enlace().Timer1_Timer();
        estadoAlPreguntar = ventana->enlace().estadoSocket();
    };
    dialogos.respuestas = {QString(), QStringLiteral("123456789012345")};
    arrancar(QByteArray());
    EXPECT_EQ(estadoAlPreguntar, 0);
    EXPECT_EQ(dialogos.preguntas(), 2);
    EXPECT_EQ(leerArchivo(acceso()), codigo);
    EXPECT_EQ(control<QLineEdit>("txtCodigo")->text(), QStringLiteral("123456789012345"));
    conectada();
    EXPECT_EQ(servicio.identificaciones().first(), QByteArray("{\"idSyA\":\"123456789012345\",\"type\":\"id\"}"));
}

TEST_F(VentanaTest, CambiarCodigoGuardaAvisaYTermina) {
    arrancar("111111111111111\r\nREVISAR\r\n");
    QList<QByteArray> archivoAlPreguntar;
    dialogos.alPreguntar = [&](const QString&) { archivoAlPreguntar << leerArchivo(acceso()); };
    dialogos.respuestas = {QString(), QStringLiteral("12345"), QStringLiteral("222222222222222")};
    control<QPushButton>("cmdCambiarCodigo")->click();
    // Cancelled and invalid answers never reached the disk.
    EXPECT_EQ(archivoAlPreguntar, QList<QByteArray>(3, QByteArray("111111111111111\r\nREVISAR\r\n")));
    EXPECT_EQ(leerArchivo(acceso()), QByteArray("222222222222222\r\n"));
    EXPECT_EQ(control<QLineEdit>("txtCodigo")->text(), QStringLiteral("222222222222222"));
    EXPECT_EQ(dialogos.textosMensajes(),
              QStringList{"El codigo se ha actualizado correctamente, se va cerrar el servidor de impresoras, "
                          "porfavor vuelvelo a abrir."});
    EXPECT_EQ(salidas, QList<int>{0});
}

// The chosen file is copied as it is under the bitmap name and painted; cancelling, or a file that is not a
// picture, leaves the logo as it was.
TEST_F(VentanaTest, CargarImagen) {
    ASSERT_TRUE(escribirArchivo(logo(), "logo anterior"));
    arrancar();
    const QImage antes = control<CajaImagen>("pctLogo")->imagen();
    control<QPushButton>("Command2")->click();
    const QString basura = dir.filePath(QStringLiteral("no-es-imagen.jpg"));
    ASSERT_TRUE(escribirArchivo(basura, "esto no es una imagen"));
    dialogos.archivos = {basura};
    control<QPushButton>("Command2")->click();
    ASSERT_EQ(dialogos.textosMensajes().size(), 1);
    EXPECT_TRUE(dialogos.textosMensajes().first().startsWith(QStringLiteral("No se pudo cargar la imagen")));
    EXPECT_EQ(leerArchivo(logo()), QByteArray("logo anterior"));
    EXPECT_EQ(control<CajaImagen>("pctLogo")->imagen(), antes);

    const QString ruta = prueba::carpetaDatos(QStringLiteral("app/foto.jpg"));
    dialogos.archivos = {ruta};
    dialogos.mostrados.clear();
    control<QPushButton>("Command2")->click();
    EXPECT_EQ(dialogos.mostrados.first().texto,
              QStringLiteral("Imágenes Bmp,Gif, Jpg,jpeg)|*.bmp,*.gif,*.jpg,*jpeg|Todos|*.*"));
    EXPECT_EQ(leerArchivo(logo()), leerArchivo(ruta));
    EXPECT_EQ(dialogos.textosMensajes(), QStringList{"Imagen Cargada"});
    // 200 x 100 into the 280 x 160 box: 280 x 140 at (0, 10); the next start shows it too.
    for (int vez = 0; vez < 2; ++vez, arrancar()) {
        const QImage& pintada = control<CajaImagen>("pctLogo")->imagen();
        EXPECT_GT(qRed(pintada.pixel(140, 80)), 150);
        EXPECT_LT(qGreen(pintada.pixel(140, 80)), 60);
        EXPECT_EQ(pintada.pixel(140, 3), QColor(Qt::white).rgb());
    }
}

TEST_F(VentanaTest, UnaSegundaCopiaSeNiegaYLaPrimeraSigue) {
    arrancar();
    conectada();
    DialogosPrueba otrosDialogos;
    AreaNotificacionPrueba otraArea;
    espia = nullptr;
    {
        frmMain segunda(dependencias(otrosDialogos, otraArea));
        EXPECT_FALSE(segunda.Form_Load());
        EXPECT_EQ(espia, nullptr) << "the second copy builds no printing and opens no journal";
        ASSERT_EQ(otrosDialogos.mostrados.size(), 1);
        EXPECT_EQ(otrosDialogos.mostrados.first().texto, QStringLiteral("La Aplicación ya esta en ejecución"));
        EXPECT_EQ(otrosDialogos.mostrados.first().icono, IconoMensaje::Exclamacion);
        EXPECT_EQ(otrosDialogos.mostrados.first().titulo, QStringLiteral("Kestrel"));
        EXPECT_TRUE(otraArea.globos().isEmpty());
        segunda.enlace().Timer1_Timer();
        EXPECT_EQ(segunda.enlace().estadoSocket(), 0) << "the second copy never connects";
    }
    EXPECT_EQ(servicio.conexiones, 1);
    EXPECT_EQ(ventana->enlace().estadoSocket(), 7);
    // Once the first copy ends, the folder is free again.
    ventana.reset();
    frmMain tercera(dependencias(otrosDialogos, otraArea));
    EXPECT_TRUE(tercera.Form_Load());
}

// Connected, the icon and the status say so; three messages in one read get three replies and the log keeps
// the last one; the button answers too; the service closing shows the disconnection.
TEST_F(VentanaTest, LaConexionSusMensajesYSuCierre) {
    arrancar();
    conectada();
    EXPECT_EQ(area.tipActual(), QStringLiteral("Servidor de impresoras conextado correctamente"));
    EXPECT_EQ(area.globos().last().szInfo, QStringLiteral("Servidor de impresoras conextado correctamente"));
    ASSERT_TRUE(esperarHasta([&] { return control<QLabel>("lblState")->text() == QLatin1String("status 7"); }));
    const QByteArray m1 = R"({"tipo":"comanda","config":[],"dato":[{}]})";
    const QByteArray m2 = R"({"tipo":"cajon","config":[],"dato":{}})";
    const QByteArray m3 = R"({"tipo":"anulacion","config":[{"Nombre":"x"}],"dato":[{},{}]})";
    servicio.enviar(m1 + "_endMessage_" + m2 + "_endMessage_" + m3 + "_endMessage_");
    ASSERT_TRUE(esperarHasta([&] { return servicio.estados().size() == 3; }));
    EXPECT_EQ(servicio.estados(), QList<QByteArray>(3, estadoLibre));
    ASSERT_NE(espia, nullptr);
    EXPECT_EQ(espia->llamadas, (QStringList{"config []", "comanda:1", "config []", "cajon",
                                            "config [{\"Nombre\":\"x\"}]", "anulacion:2"}));
    EXPECT_EQ(ventana->textoLog(), "Respuesta: " + m3 + "\n--\n" + estadoLibre +
                                       "\n------------------------------ fin ------------------------------");
    control<QPushButton>("Command1")->click();
    ASSERT_TRUE(esperarHasta([&] { return servicio.estados().size() == 4; }));
    servicio.cerrarCliente();
    ASSERT_TRUE(esperarHasta([&] { return area.tipActual() == QLatin1String("DesConectando"); }));
    EXPECT_EQ(area.globos().last().szInfo, QStringLiteral("Servidor de impresoras desconectado"));
}

TEST_F(VentanaTest, ElRegistroNoCreceSinLimite) {
    arrancar();
    ventana->limpiarLog();
    ventana->agregarLog(QString(frmMain::limiteEntradaLog + 500, QLatin1Char('x')));
    EXPECT_TRUE(ventana->textoLog().endsWith(QStringLiteral(" … (se omitieron 500 caracteres)")));
    for (int i = 0; i < 100; ++i)
        ventana->agregarLog(QString(frmMain::limiteEntradaLog, QLatin1Char('y')));
    EXPECT_LE(ventana->textoLog().size(), frmMain::limiteLog + frmMain::limiteEntradaLog + 100);
    EXPECT_TRUE(ventana->textoLog().startsWith(QStringLiteral("(registro recortado)")));
}

// A printed document shows in the "Trabajos" tab; the button prints it again on the printer chosen from the
// list, as a new entry naming the original.
TEST_F(VentanaTest, LaPestanaTrabajosListaYReimprime) {
    OpcionesImpresion opciones;
    opciones.impresorasVirtuales = {QStringLiteral("Facturas"), QStringLiteral("Cocina")};
    opciones.salida = dir.filePath(QStringLiteral("salida"));
    opciones.carpetaAplicacion = dir.path();
    ASSERT_TRUE(escribirArchivo(acceso(), codigo));
    DependenciasVentana dep = dependencias(dialogos, area);
    dep.crearDocumentos = [&](Avisos& a, TrabajosAgente& t) { return crearImpresionAgente(opciones, a, &t); };
    ventana = std::make_unique<frmMain>(dep);
    ASSERT_TRUE(ventana->Form_Load());
    conectada();
    // The table follows the journal while a person looks at it: the window open on its tab.
    ventana->show();
    control<QTabWidget>("SSTab1")->setCurrentWidget(control<QWidget>("tabTrabajos"));
    servicio.enviar(R"({"tipo":"cajon","config":[],"dato":{}})"
                    "_endMessage_");
    auto* tabla = control<QTableWidget>("tblTrabajos");
    const auto fila = [&](int f) {
        QStringList celdas;
        for (int c = 1; c < tabla->columnCount() && f < tabla->rowCount(); ++c)
            celdas << tabla->item(f, c)->text();
        return celdas.join(QLatin1Char('|'));
    };
    ASSERT_TRUE(esperarHasta([&] { return fila(0) == QLatin1String("cajon|Facturas|impreso|"); }))
        << qPrintable(fila(0));
    tabla->setColumnWidth(2, 150);
    auto* lista = control<QComboBox>("cboImpresora");
    lista->setCurrentIndex(lista->findData(QStringLiteral("Cocina")));
    tabla->selectRow(0);
    control<QPushButton>("cmdReimprimir")->click();
    ASSERT_TRUE(esperarHasta([&] { return tabla->rowCount() == 2; }));
    EXPECT_EQ(fila(0), QStringLiteral("reimpresion de 1|Cocina|impreso|"));
    EXPECT_EQ(QDir(opciones.salida).entryList({QStringLiteral("Cocina-cajon-*.bin")}).size(), 1);
    const QHeaderView* cabecera = tabla->horizontalHeader();
    EXPECT_EQ(cabecera->sectionSize(2), 150) << "a width the user set survives the refreshes";
    EXPECT_EQ(cabecera->length(), cabecera->viewport()->width()) << "the last column still stretches";
}

} // namespace
} // namespace kestrel
