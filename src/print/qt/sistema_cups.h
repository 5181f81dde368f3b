#pragma once

#include <QObject>
#include <QStringList>

#include <chrono>
#include <map>
#include <memory>

#include "print/impresora.h"
#include "print/qt/fuentes.h"
#include "print/qt/hilo_cups.h"
#include "print/qt/impresora_qt.h"

namespace kestrel {

/// The printers CUPS offers: its destinations in its order, its default destination, jobs painted through
/// QPrinter and raw jobs for the cash drawer. Every call that reaches CUPS waits at most the limit (see
/// HiloCups), so a wedged scheduler fails documents instead of freezing the window.
class SistemaCups : public SistemaImpresion {
public:
    explicit SistemaCups(std::chrono::milliseconds limite);
    ~SistemaCups() override;

    QStringList impresoras() override;
    QString predeterminada() override;
    /// indice counts in the list the last impresoras() returned.
    void seleccionar(int indice) override;
    Impresora& actual() override;
    void escribirCrudo(const QString& impresora, const QByteArray& datos) override;
    QSize tamanoImagen(const QString& ruta) override;
    qint64 tomarTrabajo() override;
    void consultarTrabajo(const QString& impresora, qint64 trabajo,
                          std::function<void(const EstadoCola&)> respuesta) override;
    void cancelarTrabajo(const QString& impresora, qint64 trabajo) override;
    bool responde(const QString& impresora) override;
    std::optional<qint64> trabajoEnDuda(const QString& impresora) override;
    /// Every queue's state and reasons, read on the CUPS thread (estado_cups.cpp).
    void sondearEstados() override;

private:
    /// CUPS's default destination; raises when it has none.
    QString predeterminadaInstalada();
    ImpresoraQt& impresoraLlamada(const QString& nombre);

    /// Where the answers of the CUPS thread are delivered, on the window's thread. Shared with every pending
    /// task so it outlives this object until they are done, and deleted from its own thread.
    std::shared_ptr<QObject> m_receptor{new QObject, [](QObject* o) { o->deleteLater(); }};
    /// The number of the job the last document or drawer pulse became, written by the CUPS thread.
    std::shared_ptr<std::atomic<qint64>> m_ultimo = std::make_shared<std::atomic<qint64>>(0);
    /// True from a poll of the queues' states until its answer: a wedged scheduler gets one poll at a time.
    std::shared_ptr<std::atomic_bool> m_sondeoEnCurso = std::make_shared<std::atomic_bool>(false);
    std::shared_ptr<HiloCups> m_hilo;
    /// By printer, the job of the last send whose sender stopped waiting: -1 while that call is still under way,
    /// else the number of the job CUPS made for it (0: none).
    std::shared_ptr<std::map<QString, std::shared_ptr<std::atomic<qint64>>>> m_enDuda =
        std::make_shared<std::map<QString, std::shared_ptr<std::atomic<qint64>>>>();
    CatalogoFuentes m_fuentes;
    QStringList m_lista;
    bool m_listaLeida = false;
    /// One printer object per queue, so each keeps its font from one document to the next.
    std::map<QString, std::unique_ptr<ImpresoraQt>> m_impresoras;
    /// The current printer before any selection: whatever CUPS's default is when it is used.
    std::unique_ptr<ImpresoraQt> m_inicial;
    ImpresoraQt* m_actual = nullptr;
};

} // namespace kestrel
