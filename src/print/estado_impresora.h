#pragma once

#include <QDateTime>
#include <QString>

#include <array>

namespace kestrel {

/// How a printer stands, as the branch and the head office read it.
enum class EstadoImpresora {
    Lista,
    PapelPorAcabarse,
    SinPapel,
    TapaAbierta,
    FueraDeLinea,
    Detenida,
    NoResponde,
    Desconocido,
};

/// Every state, in the order above (the metrics write one series for each).
inline constexpr std::array<EstadoImpresora, 8> todosLosEstados{
    EstadoImpresora::Lista,       EstadoImpresora::PapelPorAcabarse, EstadoImpresora::SinPapel,
    EstadoImpresora::TapaAbierta, EstadoImpresora::FueraDeLinea,     EstadoImpresora::Detenida,
    EstadoImpresora::NoResponde,  EstadoImpresora::Desconocido};

/// "lista", "papel por acabarse", "sin papel", "tapa abierta", "fuera de línea", "detenida", "no responde",
/// "desconocido".
QString textoEstado(EstadoImpresora estado);

/// A state someone at the branch has to act on: every state but ready and unknown. Unknown is only the
/// absence of an answer yet, not news worth a balloon.
bool estadoMalo(EstadoImpresora estado);

/// The state behind a reason a printer gave for not printing ("sin papel", "tapa abierta", "fuera de línea",
/// "desconectada", "no responde", "detenida: …"): empty means ready; a reason not known reads stopped.
EstadoImpresora estadoDeMotivo(const QString& motivo);

/// What kind of printer it is, as the "Impresoras" tab names it.
enum class ClaseImpresora {
    Cups,
    Escpos,
    Virtual,
    /// A printer of the Windows spooler.
    Windows,
};

/// "CUPS", "ESC/POS", "virtual", "Windows".
QString textoClase(ClaseImpresora clase);

/// One printer's state as its printer system read it.
struct LecturaImpresora {
    QString nombre;
    ClaseImpresora clase = ClaseImpresora::Cups;
    /// Where its documents go: the queue's device, the receipt printer's address, the virtual printer's folder.
    QString destino;
    EstadoImpresora estado = EstadoImpresora::Desconocido;
};

} // namespace kestrel
