#include "servicio_bench.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include <QEventLoop>
#include <QTimer>

#include "app/almacen_codigo.h"
#include "app/enmarcador.h"
#include "app/frm_main.h"
#include "app/salud_agente.h"
#include "print/documentos.h"
#include "print/documentos_impresion.h"
#include "red_nativa.h"

namespace medicion {

Servicio::Servicio() : m_escucha(red::escuchar(0)) {
    puerto = red::puertoLocal(m_escucha);
}

Servicio::~Servicio() {
    if (m_cliente >= 0)
        red::cerrar(m_cliente);
    if (m_escucha >= 0)
        red::cerrar(m_escucha);
}

bool Servicio::aceptar() {
    m_cliente = red::aceptar(m_escucha);
    return leerObjeto();
}

void Servicio::escribir(const char* datos, size_t n) {
    while (n > 0) {
        const qint64 w = red::enviar(m_cliente, datos, n);
        if (w <= 0)
            return;
        datos += w;
        n -= static_cast<size_t>(w);
    }
}

bool Servicio::leerObjeto() {
    for (;;) {
        const auto fin = m_pendiente.find('}');
        if (fin != std::string::npos) {
            m_pendiente.erase(0, fin + 1);
            return true;
        }
        char bufer[256];
        const qint64 n = red::recibir(m_cliente, bufer, sizeof bufer);
        if (n <= 0)
            return false;
        m_pendiente.append(bufer, static_cast<size_t>(n));
    }
}

void Servicio::cerrarTodo() {
    red::cerrar(m_cliente);
    m_cliente = -1;
    red::cerrar(m_escucha);
    m_escucha = -1;
}

void Servicio::escucharDeNuevo() {
    m_escucha = red::escuchar(puerto);
}

double percentil(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.at(std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size()))));
}

void conServicio(Servicio& servicio, const std::function<void(Servicio&)>& lado) {
    std::atomic<bool> terminado{false};
    std::thread hilo([&] {
        lado(servicio);
        terminado = true;
    });
    QEventLoop bucle;
    QTimer vigia;
    QObject::connect(&vigia, &QTimer::timeout, &bucle, [&] {
        if (terminado)
            bucle.quit();
    });
    vigia.start(1);
    bucle.exec();
    hilo.join();
}

std::vector<double> latencias(Servicio& servicio, int mensajes, const std::string& mensaje) {
    std::vector<double> us;
    conServicio(servicio, [&](Servicio& s) {
        if (!s.aceptar())
            return;
        for (int i = 0; i < mensajes; ++i) {
            s.escribir(mensaje.data(), mensaje.size());
            const auto t0 = Reloj::now();
            if (!s.leerObjeto())
                return;
            us.push_back(std::chrono::duration<double, std::micro>(Reloj::now() - t0).count());
        }
    });
    return us;
}

void informar(benchmark::State& state, const std::vector<double>& us, int esperados) {
    if (static_cast<int>(us.size()) != esperados) {
        state.SkipWithError("the agent did not answer every message");
        return;
    }
    state.counters["p50_us"] = percentil(us, 0.50);
    state.counters["p99_us"] = percentil(us, 0.99);
    state.counters["max_us"] = *std::max_element(us.begin(), us.end());
}

std::string conMarcador(const std::string& json) {
    return json + kestrel::marcadorFinMensaje.toString().toStdString();
}

AgenteImpresion::AgenteImpresion(const Servicio& servicio,
                                 const std::function<void(kestrel::OpcionesImpresion&)>& ajustar, bool conDiario,
                                 const kestrel::OpcionesSalud* salud) {
    kestrel::escribirCodigo(m_carpeta.filePath(QStringLiteral("Acceso")), QStringLiteral("123456789012345"));
    m_opciones.salida = m_carpeta.filePath(QStringLiteral("salida"));
    m_opciones.carpetaAplicacion = m_carpeta.path();
    ajustar(m_opciones);
    kestrel::DependenciasVentana d;
    d.dialogos = &m_dialogos;
    d.area = &m_area;
    d.carpetaAplicacion = m_carpeta.path();
    d.enlace.puerto = servicio.puerto;
    d.enlace.intervaloVigilancia = 1;
    d.crearDocumentos = [this, conDiario](kestrel::Avisos& avisos,
                                          kestrel::TrabajosAgente& trabajos) -> std::unique_ptr<kestrel::Documentos> {
        if (conDiario)
            return kestrel::crearImpresionAgente(m_opciones, avisos, &trabajos);
        return std::make_unique<kestrel::DocumentosImpresion>(kestrel::crearSistemaAgente(m_opciones, avisos), avisos,
                                                              m_opciones.carpetaAplicacion);
    };
    if (salud) {
        d.crearSalud = [this, opciones = *salud](kestrel::frmMain& v, const kestrel::TrabajosAgente& t) {
            auto s = std::make_unique<kestrel::SaludAgente>(opciones, v, v.enlace(), v.despachador(), t);
            m_salud = s.get();
            return s;
        };
    }
    m_ventana = std::make_unique<kestrel::frmMain>(d);
    m_ventana->Form_Load();
}

AgenteImpresion::~AgenteImpresion() = default;

quint16 AgenteImpresion::puertoMetricas() const {
    return m_salud ? m_salud->puertoMetricas() : 0;
}

} // namespace medicion
