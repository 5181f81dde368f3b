#include "app/frm_main.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/despachador.h"
#include "app/dialogos.h"
#include "app/funciones.h"
#include "app/pestana_trabajos.h"
#include "app/salud_agente.h"
#include "app/registro.h"
#include "app/textos_agente.h"
#include "print/documentos.h"
#include "tray/area_notificacion.h"
#include "tray/caja_imagen.h"
#include "tray/iconos.h"

namespace kestrel {

namespace {

// The filter's unbalanced parenthesis and "*jpeg" are the system's own text: kept as the dialog always showed it.
const QString filtroLogo = QStringLiteral("Imágenes Bmp,Gif, Jpg,jpeg)|*.bmp,*.gif,*.jpg,*jpeg|Todos|*.*");

QImage leerImagen(const QString& ruta, QByteArray* contenido = nullptr) {
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = archivo.readAll();
    if (contenido)
        *contenido = bytes;
    // By content, not by name: "logo.bmp" holds whatever picture the user chose.
    return QImage::fromData(bytes);
}

} // namespace

frmMain::frmMain(DependenciasVentana dependencias, QWidget* parent)
    : QWidget(parent), m_dep(std::move(dependencias)), m_instancia(m_dep.carpetaAplicacion),
      m_almacen(m_dep.carpetaAplicacion, *m_dep.dialogos), pctOK(iconoEstado(ImagenEstado::Ok)),
      pctDisconected(iconoEstado(ImagenEstado::Desconectado)), pctConected(iconoEstado(ImagenEstado::Conectado)),
      pctError(iconoEstado(ImagenEstado::Error)), SysTray(*m_dep.area) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(textosagente::tituloVentana);
    setWindowIcon(iconoVentana());
    // Closing from the title bar is disabled: hiding, not closing, is how the window leaves the screen.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint);
    construirControles();
    // The printing and its journal come in Form_Load, once this copy holds the folder: a second copy must not
    // open the running agent's journal (its start-up would mark that agent's documents in flight as unknown).
    m_enlace =
        std::make_unique<Enlace>(m_dep.enlace, *this, [this](const QString& m) { m_despachador->procesarMensaje(m); });

    connect(&SysTray, &clsSystray::notificacionVentana, this,
            [this](int boton, double x) { Form_MouseMove(boton, 0, x, 0); });
    connect(&SysTray, &clsSystray::BalloonClicked, this, &frmMain::SysTray_BalloonClicked);
    m_menuBandeja.addAction(QStringLiteral("Mostrar ventana"), this, &frmMain::mostrarVentana);
    m_menuBandeja.addAction(QStringLiteral("Send Status Free"), this, &frmMain::Command1_Click);
    m_menuBandeja.addAction(QStringLiteral("Trabajos"), this, &frmMain::mostrarTrabajos);
    m_menuBandeja.addSeparator();
    m_menuBandeja.addAction(QStringLiteral("Apagar Servidor"), this, &frmMain::Command4_Click);
    m_dep.area->fijarMenu(&m_menuBandeja);
}

frmMain::~frmMain() {
    m_dep.area->fijarMenu(nullptr);
    m_enlace.reset();
    Form_Unload();
}

void frmMain::construirControles() {
    auto* raiz = new QVBoxLayout(this);
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    raiz->addWidget(SSTab1);

    auto* panel = new QWidget(SSTab1);
    auto* capaPanel = new QVBoxLayout(panel);
    Frame1 = new QGroupBox(panel);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    capaPanel->addWidget(Frame1);
    auto* rejilla = new QGridLayout(Frame1);

    Label1 = new QLabel(QStringLiteral("Codigo Sucursal"), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtCodigo = new QLineEdit(Frame1);
    txtCodigo->setObjectName(QStringLiteral("txtCodigo"));
    txtCodigo->setReadOnly(true);
    cmdCambiarCodigo = new QPushButton(QStringLiteral("Cambiar codigo"), Frame1);
    cmdCambiarCodigo->setObjectName(QStringLiteral("cmdCambiarCodigo"));
    rejilla->addWidget(Label1, 0, 0);
    rejilla->addWidget(txtCodigo, 0, 1);
    rejilla->addWidget(cmdCambiarCodigo, 0, 2);
    // The service this agent talks to, as its options and settings file gave it.
    auto* lblServidor = new QLabel(QStringLiteral("Servidor"), Frame1);
    txtServidor = new QLineEdit(m_dep.enlace.servidor + QLatin1Char(':') + QString::number(m_dep.enlace.puerto) +
                                    (m_dep.enlace.tls ? QStringLiteral(" (TLS)") : QString()),
                                Frame1);
    txtServidor->setObjectName(QStringLiteral("txtServidor"));
    txtServidor->setReadOnly(true);
    rejilla->addWidget(lblServidor, 1, 0);
    rejilla->addWidget(txtServidor, 1, 1, 1, 2);

    pctLogo = new CajaImagen(Frame1);
    pctLogo->setObjectName(QStringLiteral("pctLogo"));
    pctLogo->setFixedSize(282, 162);
    Command2 = new QPushButton(QStringLiteral("Cargar Imagen"), Frame1);
    Command2->setObjectName(QStringLiteral("Command2"));
    rejilla->addWidget(pctLogo, 2, 0, 1, 2, Qt::AlignLeft);
    rejilla->addWidget(Command2, 2, 2, Qt::AlignTop);

    auto* botones = new QHBoxLayout();
    Command3 = new QPushButton(QStringLiteral("Cerrar Ventana"), Frame1);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command4 = new QPushButton(QStringLiteral("Apagar Servidor"), Frame1);
    Command4->setObjectName(QStringLiteral("Command4"));
    botones->addStretch();
    botones->addWidget(Command3);
    botones->addWidget(Command4);
    rejilla->addLayout(botones, 3, 0, 1, 3);
    rejilla->setColumnStretch(1, 1);
    SSTab1->addTab(panel, QStringLiteral("Panel"));

    auto* estado = new QWidget(SSTab1);
    auto* capaEstado = new QVBoxLayout(estado);
    txtlog = new QPlainTextEdit(estado);
    txtlog->setObjectName(QStringLiteral("txtlog"));
    txtlog->setReadOnly(true);
    txtlog->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtlog->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Command1 = new QPushButton(QStringLiteral("Send Status Free"), estado);
    Command1->setObjectName(QStringLiteral("Command1"));
    capaEstado->addWidget(txtlog);
    auto* filaEstado = new QHBoxLayout();
    filaEstado->addStretch();
    filaEstado->addWidget(Command1);
    capaEstado->addLayout(filaEstado);
    SSTab1->addTab(estado, QStringLiteral("Status"));

    tabTrabajos = new PestanaTrabajos(*this, SSTab1);
    tabTrabajos->setObjectName(QStringLiteral("tabTrabajos"));
    SSTab1->addTab(tabTrabajos, QStringLiteral("Trabajos"));

    auto* pie = new QHBoxLayout();
    lblConexion = new QLabel(this);
    lblConexion->setObjectName(QStringLiteral("lblConexion"));
    lblConexion->setPixmap(pctDisconected.pixmap(16, 16));
    lblState = new QLabel(QStringLiteral("status 0"), this);
    lblState->setObjectName(QStringLiteral("lblState"));
    pie->addWidget(lblConexion);
    pie->addWidget(lblState);
    pie->addStretch();
    raiz->addLayout(pie);

    m_log = std::make_unique<RegistroVentana>(*txtlog);
    connect(SSTab1, &QTabWidget::currentChanged, this, [this] {
        m_log->volcar();
        if (SSTab1->currentWidget() == tabTrabajos)
            tabTrabajos->llenarImpresoras();
    });
    connect(cmdCambiarCodigo, &QPushButton::clicked, this, &frmMain::cmdCambiarCodigo_Click);
    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmMain::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmMain::Command4_Click);
    // Wide enough for the log's closing line (65 characters) without wrapping.
    const int anchoLog = txtlog->fontMetrics().horizontalAdvance(QString(68, QLatin1Char('-')));
    resize(std::max(560, anchoLog + 70), 400);
}

bool frmMain::Form_Load() {
    m_enlace->reconectar = false;
    if (!m_instancia.adquirir()) {
        std::fprintf(stderr,
                     "kestrel-agente: ya hay un agente en ejecución con la carpeta %s en esta sesión; este se "
                     "cierra sin tocarla\n",
                     qUtf8Printable(QDir::toNativeSeparators(m_dep.carpetaAplicacion)));
        // Nobody may be at the screen (an autostart, a remote session): the box closes itself and the process
        // ends all the same. "ya esta" without its accent is the system's own text: do not correct it.
        m_dep.dialogos->aviso(QStringLiteral("La Aplicación ya esta en ejecución"), IconoMensaje::Exclamacion,
                              textosagente::tituloAplicacion, plazoAvisoInstancia);
        return false;
    }
    TrabajosAgente trabajos;
    m_documentos = m_dep.crearDocumentos(*this, trabajos);
    tabTrabajos->fijarTrabajos(std::move(trabajos.diario), trabajos.grabador);
    m_despachador =
        std::make_unique<Despachador>(*m_documentos, [this](const QString& e) { anotar(registroDespachador(), e); });
    if (m_dep.crearSalud) {
        m_salud = m_dep.crearSalud(*this, trabajos);
        SSTab1->insertTab(SSTab1->indexOf(tabTrabajos) + 1, m_salud->pestana(), QStringLiteral("Impresoras"));
    }
    m_enlace->iniciar();
    // The watch connects only once the code is known: an identification sent while the question is still on
    // screen would carry an empty code.
    const QString codigo = m_almacen.leerCodigoSucursal();
    m_enlace->codigoSucursal = codigo;
    m_enlace->reconectar = true;
    const bool tecnico = m_almacen.leerModoTecnico().toUpper() == QLatin1String("REVISAR");

    if (existeArchivo(rutaLogo())) {
        const QImage logo = leerImagen(rutaLogo());
        if (!logo.isNull())
            pintarLogo(logo);
    }
    txtCodigo->setText(codigo);

    SysTray.Init(this, QStringLiteral("Sincronizador Kestrel"));
    SysTray.SetIcon(pctDisconected, QStringLiteral("Conectando"));
    SysTray.ShowBalloonTip(QStringLiteral("Conectando al servidor de impresion "), iconoglobo::informacion,
                           textosagente::tituloGlobos, tiempoGlobo);
    if (tecnico)
        show();
    else
        ocultar();
    return true;
}

void frmMain::Form_Unload() {
    SysTray.delIcon();
}

void frmMain::Form_MouseMove(int Button, int, double X, double) {
    SysTray.MouseMove(Button, static_cast<int>(std::nearbyint(X)), this);
}

void frmMain::SysTray_BalloonClicked() {
    mostrarVentana();
}

void frmMain::Command1_Click() {
    m_enlace->enviarEstado();
}

void frmMain::Command2_Click() {
    const QString ruta = m_dep.dialogos->abrirArchivo(filtroLogo);
    if (ruta.isEmpty())
        return;
    QByteArray contenido;
    const QImage imagen = leerImagen(ruta, &contenido);
    if (imagen.isNull()) {
        m_dep.dialogos->mensaje(QStringLiteral("No se pudo cargar la imagen %1: el logo no cambia").arg(ruta),
                                IconoMensaje::Critico, textosagente::tituloAplicacion);
        return;
    }
    // The file is copied as it is, whatever its format; the invoice reads it back by content.
    QSaveFile copia(rutaLogo());
    if (!copia.open(QIODevice::WriteOnly) || copia.write(contenido) != contenido.size() || !copia.commit()) {
        m_dep.dialogos->mensaje(
            QStringLiteral("No se pudo guardar el logo en %1: %2").arg(rutaLogo(), copia.errorString()),
            IconoMensaje::Critico, textosagente::tituloAplicacion);
        return;
    }
    pintarLogo(imagen);
    m_dep.dialogos->mensaje(QStringLiteral("Imagen Cargada"), IconoMensaje::Informacion,
                            textosagente::tituloAplicacion);
}

void frmMain::Command3_Click() {
    ocultar();
}

void frmMain::Command4_Click() {
    SysTray.delIcon();
    terminar(0);
}

void frmMain::cmdCambiarCodigo_Click() {
    const QString codigo = m_almacen.cambiarCodigo();
    if (codigo.isEmpty())
        return;
    txtCodigo->setText(codigo);
    // "porfavor vuelvelo" is the system's own text, exactly as branches have always read it: do not correct it.
    m_dep.dialogos->mensaje(QStringLiteral("El codigo se ha actualizado correctamente, se va cerrar el servidor de "
                                           "impresoras, porfavor vuelvelo a abrir."),
                            IconoMensaje::Informacion, textosagente::tituloAplicacion);
    terminar(0);
}

void frmMain::terminar(int codigo) {
    m_terminando = true;
    if (m_dep.terminar)
        m_dep.terminar(codigo);
}

void frmMain::pintarLogo(const QImage& imagen) {
    fondo = std::make_unique<clasBackGround>();
    fondo->setForm(pctLogo);
    fondo->setImagen(imagen);
    fondo->setScaleMargin(32);
    fondo->Refresh();
    fondo.reset();
}

void frmMain::ocultar() {
    // Without a notification area a hidden window could never be reached again.
    if (m_dep.area->disponible())
        hide();
    else
        showMinimized();
}

void frmMain::mostrarVentana() {
    showNormal();
    raise();
    activateWindow();
}

void frmMain::mostrarTrabajos() {
    SSTab1->setCurrentWidget(tabTrabajos);
    mostrarVentana();
}

void frmMain::closeEvent(QCloseEvent* evento) {
    if (m_terminando) {
        evento->accept();
        return;
    }
    evento->ignore();
    ocultar();
}

QString frmMain::rutaLogo() const {
    return QDir(m_dep.carpetaAplicacion).filePath(QStringLiteral("logo.bmp"));
}

void frmMain::agregarLog(const QString& entrada) {
    anotar(registroEnlace(), entrada);
}

void frmMain::registrar(const QString& entrada) {
    anotar(registroImpresion(), entrada);
}

void frmMain::anotar(const QLoggingCategory& categoria, const QString& entrada) {
    const QString texto = m_log->agregar(entrada);
    qCInfo(categoria).noquote() << texto;
}

void frmMain::limpiarLog() {
    m_log->limpiar();
}

QString frmMain::textoLog() const {
    return m_log->texto();
}

void frmMain::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    m_log->volcar();
}

void frmMain::mostrarConexion(bool conectado, const QString& tooltip) {
    const QIcon& imagen = conectado ? pctOK : pctDisconected;
    SysTray.SetIcon(imagen, tooltip);
    lblConexion->setPixmap(imagen.pixmap(16, 16));
}

void frmMain::mostrarGlobo(const QString& mensaje, int icono, const QString& titulo, int tiempoMs) {
    SysTray.ShowBalloonTip(mensaje, icono, titulo, tiempoMs);
}

void frmMain::mostrarEstado(const QString& texto) {
    lblState->setText(texto);
}

} // namespace kestrel
