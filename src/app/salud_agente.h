#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QTimer>

#include <memory>

#include "app/opciones_salud.h"

namespace kestrel {

class Avisos;
class Despachador;
class Enlace;
class Metricas;
class PestanaImpresoras;
class RegistroImpresoras;
class ServidorMetricas;
class SistemaImpresion;
struct TrabajosAgente;

/// Printer health at the branch and from the head office: polls the printers in use, shows the "Impresoras"
/// tab and the balloons of printers turning bad and back, and feeds the metrics endpoint when it runs.
/// Everything here runs on the window's thread but the endpoint, which has a thread of its own.
class SaludAgente : public QObject {
public:
    /// trabajos brings the registry of printers and the printer system to poll; enlace and despachador are
    /// watched for the link's state and the messages.
    SaludAgente(const OpcionesSalud& opciones, Avisos& avisos, Enlace& enlace, Despachador& despachador,
                const TrabajosAgente& trabajos);
    ~SaludAgente() override;

    /// The tab, for the window to take (it becomes its parent).
    QWidget* pestana();
    /// The endpoint's port, 0 when it is off.
    quint16 puertoMetricas() const;

private:
    void arrancarMetricas(const OpcionesSalud& opciones);
    void publicarImpresoras();

    Avisos& m_avisos;
    std::shared_ptr<RegistroImpresoras> m_registro;
    SistemaImpresion* m_sistema;
    QPointer<QWidget> m_pestana;
    QTimer m_sondeo;
    std::unique_ptr<Metricas> m_metricas;
    std::unique_ptr<ServidorMetricas> m_servidor;
};

} // namespace kestrel
