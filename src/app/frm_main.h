#pragma once

#include <QIcon>
#include <QMenu>
#include <QWidget>

#include <functional>
#include <memory>

#include "app/almacen_codigo.h"
#include "app/enlace.h"
#include "app/impresion_agente.h"
#include "plataforma/instancia_unica.h"
#include "app/registro_ventana.h"
#include "print/avisos.h"
#include "tray/clasbackground.h"
#include "tray/clssystray.h"

class QLabel;
class QLineEdit;
class QLoggingCategory;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QGroupBox;

namespace kestrel {

class AreaNotificacion;
class CajaImagen;
class Despachador;
class Dialogos;
class Documentos;
class PestanaTrabajos;
class SaludAgente;
class frmMain;

/// What the window is built with; tests hand in their own dialogs, notification area and exit.
struct DependenciasVentana {
    Dialogos* dialogos = nullptr;
    AreaNotificacion* area = nullptr;
    QString carpetaAplicacion;
    ConfiguracionEnlace enlace;
    /// Builds the printing once the window exists (the documents report through the window); fills in the
    /// journal the "Trabajos" tab shows, or leaves it empty.
    std::function<std::unique_ptr<Documentos>(Avisos&, TrabajosAgente&)> crearDocumentos;
    /// Ends the process with the given code.
    std::function<void(int)> terminar;
    /// Printer health and metrics, built in Form_Load with the printing (once this copy holds the folder), so a
    /// second copy never takes the metrics port; none when empty.
    std::function<std::unique_ptr<SaludAgente>(frmMain&, const TrabajosAgente&)> crearSalud;
};

/// The agent's one window, "Servidor de Impresoras". It owns the link, the tray icon and the log for the
/// whole run; it normally stays hidden and is reached through the tray icon.
class frmMain : public QWidget, public SalidaEnlace, public Avisos {
    Q_OBJECT
public:
    explicit frmMain(DependenciasVentana dependencias, QWidget* parent = nullptr);
    ~frmMain() override;

    /// Start-up. false when another copy already runs on this folder: this one then has said so (standard
    /// error and a box that closes itself after plazoAvisoInstancia) without touching the folder, the journal
    /// or the service, and the caller ends the process.
    bool Form_Load();
    /// Removes the tray icon (the window is going away).
    void Form_Unload();
    /// How the tray icon's notifications reach the window: X in twips.
    void Form_MouseMove(int Button, int Shift, double X, double Y);
    void SysTray_BalloonClicked();
    /// "Send Status Free".
    void Command1_Click();
    /// "Cargar Imagen".
    void Command2_Click();
    /// "Cerrar Ventana".
    void Command3_Click();
    /// "Apagar Servidor".
    void Command4_Click();
    /// "Cambiar codigo".
    void cmdCambiarCodigo_Click();

    void agregarLog(const QString& entrada) override;
    void limpiarLog() override;
    void mostrarConexion(bool conectado, const QString& tooltip) override;
    void mostrarGlobo(const QString& mensaje, int icono, const QString& titulo, int tiempoMs) override;
    void mostrarEstado(const QString& texto) override;
    void registrar(const QString& entrada) override;

    Enlace& enlace() { return *m_enlace; }
    Despachador& despachador() { return *m_despachador; }
    clsSystray& systray() { return SysTray; }
    /// The log as shown, entries separated by line feeds.
    QString textoLog() const;
    QString rutaLogo() const;

    static constexpr qsizetype limiteEntradaLog = RegistroVentana::limiteEntrada;
    static constexpr qsizetype limiteLog = RegistroVentana::limite;
    /// How long the refusal of a second copy stays on screen when nobody answers it.
    static constexpr int plazoAvisoInstancia = 5000;

protected:
    void closeEvent(QCloseEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    void construirControles();
    void pintarLogo(const QImage& imagen);
    void ocultar();
    void mostrarVentana();
    /// The tray menu's "Trabajos": the window, on that tab.
    void mostrarTrabajos();
    void terminar(int codigo);
    /// Logs an entry in the window and, under its category, on standard error.
    void anotar(const QLoggingCategory& categoria, const QString& entrada);

    DependenciasVentana m_dep;
    InstanciaUnica m_instancia;
    AlmacenCodigo m_almacen;
    QIcon pctOK;
    QIcon pctDisconected;
    QIcon pctConected;
    QIcon pctError;
    clsSystray SysTray;
    std::unique_ptr<clasBackGround> fondo;
    std::unique_ptr<Documentos> m_documentos;
    std::unique_ptr<Despachador> m_despachador;
    std::unique_ptr<Enlace> m_enlace;
    QMenu m_menuBandeja;
    bool m_terminando = false;
    std::unique_ptr<RegistroVentana> m_log;
    std::unique_ptr<SaludAgente> m_salud;

    QTabWidget* SSTab1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtServidor = nullptr;
    QLineEdit* txtCodigo = nullptr;
    QPushButton* cmdCambiarCodigo = nullptr;
    CajaImagen* pctLogo = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPlainTextEdit* txtlog = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* lblState = nullptr;
    QLabel* lblConexion = nullptr;
    PestanaTrabajos* tabTrabajos = nullptr;
};

} // namespace kestrel
