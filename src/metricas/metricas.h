#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <map>
#include <mutex>
#include <tuple>

#include "print/estado_impresora.h"

namespace kestrel {

/// The agent's numbers as the head office's Prometheus reads them. The window's thread writes them as things
/// happen; the metrics server's thread writes them out (exposicion) at each scrape. Every call is safe from
/// any thread.
class Metricas {
public:
    /// tiposMensaje: the message types the dispatcher knows ("desconocido" is added); tiposDocumento and
    /// estadosDocumento: the journal's types and final states, so every printer starts with its counters at 0
    /// (an alert on an increase cannot see a series' first sample).
    Metricas(QString version, QStringList tiposMensaje, QStringList tiposDocumento, QStringList estadosDocumento);

    /// The link came up or went down; coming up again after it had been up counts a reconnection.
    void fijarEnlace(bool conectado);
    /// One message of that type ("desconocido" for anything the dispatcher does not handle).
    void contarMensaje(const QString& tipo);
    void contarDocumento(const QString& tipo, const QString& impresora, const QString& estado);
    /// A printer in use and its current state; ultimoDocumento invalid while it printed nothing.
    void fijarImpresora(const QString& impresora, EstadoImpresora estado, const QDateTime& ultimoDocumento);
    void contarErrorDiario();

    /// The text exposition format (version 0.0.4), with the process's memory and start read now.
    QByteArray exposicion() const;

private:
    struct Impresora {
        EstadoImpresora estado = EstadoImpresora::Desconocido;
        QDateTime ultimoDocumento;
    };

    const QString m_version;
    const QStringList m_tiposDocumento;
    const QStringList m_estadosDocumento;
    mutable std::mutex m_mutex;
    bool m_conectado = false;
    bool m_estuvoConectado = false;
    qint64 m_reconexiones = 0;
    std::map<QString, qint64> m_mensajes;
    std::map<std::tuple<QString, QString, QString>, qint64> m_documentos;
    std::map<QString, Impresora> m_impresoras;
    qint64 m_erroresDiario = 0;
};

/// A label value as the exposition format writes it: backslash, double quote and line feed escaped.
QString valorEtiqueta(const QString& valor);

} // namespace kestrel
