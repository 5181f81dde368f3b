#pragma once

// What the benchmarks of the link and of the printing share: a print service on a plain socket, the latency
// counters, and the agent's window printing as the agent itself puts it together.

#include <benchmark/benchmark.h>

#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/dialogos.h"
#include "app/impresion_agente.h"
#include "tray/area_notificacion.h"

namespace kestrel {
class frmMain;
class SaludAgente;
struct OpcionesSalud;
} // namespace kestrel

namespace medicion {

using Reloj = std::chrono::steady_clock;

class AreaNula : public kestrel::AreaNotificacion {
public:
    bool disponible() const override { return true; }
    bool notificar(kestrel::ComandoIcono, const kestrel::RegistroIcono&) override { return true; }
    void fijarMenu(QMenu*) override {}
};

class DialogosNulos : public kestrel::Dialogos {
public:
    void mensaje(const QString&, kestrel::IconoMensaje, const QString&) override {}
    QString entrada(const QString&, const QString&, const QString&) override { return {}; }
    QString abrirArchivo(const QString&) override { return {}; }
};

/// A print service on a plain socket, driven from a thread of its own, so the agent's event loop is the only
/// one involved.
class Servicio {
public:
    Servicio();
    ~Servicio();
    Servicio(const Servicio&) = delete;
    Servicio& operator=(const Servicio&) = delete;

    quint16 puerto = 0;

    /// Accepts the agent and reads its identification.
    bool aceptar();
    void escribir(const char* datos, size_t n);
    /// Reads one JSON object the agent sends (its texts hold no nested braces).
    bool leerObjeto();
    void cerrarTodo();
    void escucharDeNuevo();

private:
    qintptr m_escucha = -1;
    qintptr m_cliente = -1;
    std::string m_pendiente;
};

double percentil(std::vector<double> v, double p);

/// Runs the service's side in a thread while the agent's event loop turns here. The thread makes no call into
/// the agent's objects: the loop polls its flag.
void conServicio(Servicio& servicio, const std::function<void(Servicio&)>& lado);

/// Microseconds from the service writing the last byte of mensaje to it reading the status reply, once per
/// message; fewer when the agent stops answering.
std::vector<double> latencias(Servicio& servicio, int mensajes, const std::string& mensaje);

/// Counters p50_us, p99_us and max_us, or the benchmark's error when some message got no answer.
void informar(benchmark::State& state, const std::vector<double>& us, int esperados);

/// A message as the service frames it.
std::string conMarcador(const std::string& json);

/// The agent's window connected to servicio, with a branch code, printing through crearImpresionAgente with
/// its journal (or, conDiario false, through the documents and printers alone), as the agent runs.
class AgenteImpresion {
public:
    /// ajustar fills in the printing options; the application folder and the output folder are set already.
    /// salud, when given, adds the printer polling and the metrics endpoint as the agent's options would.
    AgenteImpresion(const Servicio& servicio, const std::function<void(kestrel::OpcionesImpresion&)>& ajustar,
                    bool conDiario = true, const kestrel::OpcionesSalud* salud = nullptr);
    ~AgenteImpresion();
    AgenteImpresion(const AgenteImpresion&) = delete;
    AgenteImpresion& operator=(const AgenteImpresion&) = delete;

    const kestrel::OpcionesImpresion& opciones() const { return m_opciones; }
    /// A folder that goes away with the agent.
    QString carpeta(const QString& nombre) const { return m_carpeta.filePath(nombre); }
    /// The metrics endpoint's port; 0 without one.
    quint16 puertoMetricas() const;

private:
    QTemporaryDir m_carpeta;
    kestrel::OpcionesImpresion m_opciones;
    DialogosNulos m_dialogos;
    AreaNula m_area;
    std::unique_ptr<kestrel::frmMain> m_ventana;
    kestrel::SaludAgente* m_salud = nullptr;
};

} // namespace medicion
