#include "metricas/metricas.h"

#include <QTextStream>

#include <utility>

#include "metricas/proceso.h"

namespace kestrel {

QString valorEtiqueta(const QString& valor) {
    QString r;
    r.reserve(valor.size());
    for (const QChar c : valor) {
        if (c == QLatin1Char('\\'))
            r += QLatin1String("\\\\");
        else if (c == QLatin1Char('"'))
            r += QLatin1String("\\\"");
        else if (c == QLatin1Char('\n'))
            r += QLatin1String("\\n");
        else
            r += c;
    }
    return r;
}

Metricas::Metricas(QString version, QStringList tiposMensaje, QStringList tiposDocumento, QStringList estadosDocumento)
    : m_version(std::move(version)), m_tiposDocumento(std::move(tiposDocumento)),
      m_estadosDocumento(std::move(estadosDocumento)) {
    tiposMensaje << QStringLiteral("desconocido");
    for (const QString& t : std::as_const(tiposMensaje))
        m_mensajes[t] = 0;
}

void Metricas::fijarEnlace(bool conectado) {
    std::lock_guard<std::mutex> candado(m_mutex);
    if (conectado && !m_conectado && m_estuvoConectado)
        ++m_reconexiones;
    m_estuvoConectado = m_estuvoConectado || conectado;
    m_conectado = conectado;
}

void Metricas::contarMensaje(const QString& tipo) {
    std::lock_guard<std::mutex> candado(m_mutex);
    // A type the service invents must not grow the series without bound.
    const auto it = m_mensajes.find(tipo);
    ++(it != m_mensajes.end() ? it->second : m_mensajes[QStringLiteral("desconocido")]);
}

void Metricas::contarDocumento(const QString& tipo, const QString& impresora, const QString& estado) {
    std::lock_guard<std::mutex> candado(m_mutex);
    ++m_documentos[{tipo, impresora, estado}];
}

void Metricas::fijarImpresora(const QString& impresora, EstadoImpresora estado, const QDateTime& ultimoDocumento) {
    std::lock_guard<std::mutex> candado(m_mutex);
    if (m_impresoras.find(impresora) == m_impresoras.end()) {
        for (const QString& t : m_tiposDocumento) {
            for (const QString& e : m_estadosDocumento)
                m_documentos.try_emplace({t, impresora, e}, 0);
        }
    }
    m_impresoras[impresora] = {estado, ultimoDocumento};
}

void Metricas::contarErrorDiario() {
    std::lock_guard<std::mutex> candado(m_mutex);
    ++m_erroresDiario;
}

QByteArray Metricas::exposicion() const {
    QString texto;
    QTextStream s(&texto);
    const auto familia = [&s](const char* nombre, const char* tipo, const char* ayuda) {
        s << "# HELP " << nombre << ' ' << ayuda << "\n# TYPE " << nombre << ' ' << tipo << '\n';
    };
    const double memoria = memoriaResidente();
    const double inicio = inicioProceso();
    std::lock_guard<std::mutex> candado(m_mutex);
    familia("kestrel_build_info", "gauge", "Versión del agente.");
    s << "kestrel_build_info{version=\"" << valorEtiqueta(m_version) << "\"} 1\n";
    familia("kestrel_enlace_conectado", "gauge", "1 mientras la conexión con el servicio está abierta.");
    s << "kestrel_enlace_conectado " << (m_conectado ? 1 : 0) << '\n';
    familia("kestrel_enlace_reconexiones_total", "counter", "Veces que la conexión volvió después de caerse.");
    s << "kestrel_enlace_reconexiones_total " << m_reconexiones << '\n';
    familia("kestrel_mensajes_total", "counter", "Mensajes del servicio, por tipo.");
    for (const auto& [tipo, n] : m_mensajes)
        s << "kestrel_mensajes_total{tipo=\"" << valorEtiqueta(tipo) << "\"} " << n << '\n';
    familia("kestrel_documentos_total", "counter", "Documentos terminados, por tipo, impresora pedida y estado.");
    for (const auto& [clave, n] : m_documentos) {
        const auto& [tipo, impresora, estado] = clave;
        s << "kestrel_documentos_total{tipo=\"" << valorEtiqueta(tipo) << "\",impresora=\"" << valorEtiqueta(impresora)
          << "\",estado=\"" << valorEtiqueta(estado) << "\"} " << n << '\n';
    }
    familia("kestrel_impresora_estado", "gauge", "1 para el estado actual de cada impresora, 0 para los demás.");
    for (const auto& [nombre, i] : m_impresoras) {
        for (const EstadoImpresora e : todosLosEstados) {
            s << "kestrel_impresora_estado{impresora=\"" << valorEtiqueta(nombre) << "\",estado=\"" << textoEstado(e)
              << "\"} " << (i.estado == e ? 1 : 0) << '\n';
        }
    }
    familia("kestrel_impresora_ultimo_documento_segundos", "gauge",
            "Hora Unix del último documento de cada impresora.");
    for (const auto& [nombre, i] : m_impresoras) {
        if (i.ultimoDocumento.isValid())
            s << "kestrel_impresora_ultimo_documento_segundos{impresora=\"" << valorEtiqueta(nombre) << "\"} "
              << i.ultimoDocumento.toSecsSinceEpoch() << '\n';
    }
    familia("kestrel_diario_errores_total", "counter", "Escrituras del diario de trabajos que fallaron.");
    s << "kestrel_diario_errores_total " << m_erroresDiario << '\n';
    if (memoria >= 0) {
        familia("process_resident_memory_bytes", "gauge", "Memoria residente en bytes.");
        s << "process_resident_memory_bytes " << QString::number(memoria, 'f', 0) << '\n';
    }
    if (inicio >= 0) {
        familia("process_start_time_seconds", "gauge", "Arranque del proceso, en segundos desde 1970.");
        s << "process_start_time_seconds " << QString::number(inicio, 'f', 2) << '\n';
    }
    s.flush();
    return texto.toUtf8();
}

} // namespace kestrel
