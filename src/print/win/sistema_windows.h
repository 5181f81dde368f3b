#pragma once

#include <QObject>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>

#include "print/impresora.h"
#include "print/qt/fuentes.h"
#include "print/qt/hilo_cups.h"
#include "print/qt/impresora_qt.h"

namespace kestrel {

/// The Windows printers installed on the PC, in Windows' order, with the Windows default printer as the
/// default: documents painted through a native QPrinter, raw jobs (the drawer, ESC/POS bytes) through the
/// spooler with the RAW data type, and each job followed in the spooler until it is on paper. Every call that
/// reaches the spooler runs on one worker thread and waits at most the limit, as with CUPS.
class SistemaWindows : public SistemaImpresion {
public:
    explicit SistemaWindows(std::chrono::milliseconds limite);
    ~SistemaWindows() override;

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
    std::optional<qint64> trabajoEnDuda(const QString& impresora) override;
    bool responde(const QString& impresora) override;
    /// Every Windows printer's status, read on the worker thread.
    void sondearEstados() override;

private:
    /// Windows' default printer; raises when it has none.
    QString predeterminadaInstalada();
    ImpresoraQt& impresoraLlamada(const QString& nombre);

    /// Where the answers of the worker thread are delivered, on the window's thread; shared with every pending
    /// task so it outlives this object until they are done.
    std::shared_ptr<QObject> m_receptor{new QObject, [](QObject* o) { o->deleteLater(); }};
    /// The number of the job the last document or raw write became, written by the worker thread.
    std::shared_ptr<std::atomic<qint64>> m_ultimo = std::make_shared<std::atomic<qint64>>(0);
    /// Makes each document's name unique, which is how its job is found in the spooler.
    /// The job a document or raw write whose caller stopped waiting made, per printer.
    std::shared_ptr<EnDuda> m_enDuda = std::make_shared<EnDuda>();
    std::shared_ptr<std::atomic<qint64>> m_documentos = std::make_shared<std::atomic<qint64>>(0);
    /// True from a poll of the printers' states until its answer: a stuck spooler gets one poll at a time.
    std::shared_ptr<std::atomic_bool> m_sondeoEnCurso = std::make_shared<std::atomic_bool>(false);
    std::shared_ptr<HiloCups> m_hilo;
    CatalogoFuentes m_fuentes;
    QStringList m_lista;
    bool m_listaLeida = false;
    std::map<QString, std::unique_ptr<ImpresoraQt>> m_impresoras;
    std::unique_ptr<ImpresoraQt> m_inicial;
    ImpresoraQt* m_actual = nullptr;
};

} // namespace kestrel
