#include <QCoreApplication>
#include <QDeadlineTimer>

#include <chrono>
#include <cstdio>
#include <memory>

#include "app/configuracion_agente.h"
#include "app/impresion_agente.h"
#include "app/modos.h"
#include "app/opciones_agente.h"
#include "plataforma/plataforma.h"
#include "print/avisos.h"
#include "print/grabador.h"
#include "print/seguimiento.h"
#include "trabajos/diario_sqlite.h"

namespace kestrel {

namespace {

/// Over a remote shell, the balloons and log lines go to standard error.
class AvisosConsola : public Avisos {
public:
    void mostrarGlobo(const QString& mensaje, int, const QString& titulo, int) override {
        escribir(stderr, titulo + QStringLiteral(": ") + mensaje + QLatin1Char('\n'));
    }
    void registrar(const QString& entrada) override { escribir(stderr, entrada + QLatin1Char('\n')); }
};

int fallar(const QString& texto, int codigo) {
    escribir(stderr, QStringLiteral("kestrel-agente: ") + texto + QLatin1Char('\n'));
    return codigo;
}

/// The application folder the agent itself would use with these options.
QString carpetaDe(const OpcionesAgente& opciones, QString* error) {
    QCoreApplication::setApplicationName(QStringLiteral("kestrel-agente"));
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrel"));
    return resolverCarpetaAplicacion(opciones.carpeta, QCoreApplication::applicationDirPath(), carpetaDatosUsuario(),
                                     error);
}

/// Reads the agent's options and opens the journal of its application folder; on a problem the reason is on
/// standard error and *codigo holds the exit code.
std::shared_ptr<DiarioSqlite> abrirDiario(const QStringList& argumentos, Avisos& avisos, OpcionesAgente& opciones,
                                          int* codigo) {
    const ResultadoOpciones leidas = leerOpcionesAgente(argumentos);
    *codigo = 2;
    if (!leidas.error.isEmpty())
        return fallar(leidas.error, 2), nullptr;
    opciones = leidas.opciones;
    QString error;
    const QString carpeta = carpetaDe(opciones, &error);
    *codigo = 1;
    if (carpeta.isEmpty())
        return fallar(error, 1), nullptr;
    auto diario = std::make_shared<DiarioSqlite>(carpeta, &avisos);
    return diario->disponible() ? diario : nullptr;
}

} // namespace

int modoTrabajos(const QStringList& argumentos) {
    AvisosConsola avisos;
    OpcionesAgente opciones;
    int codigo = 0;
    const std::shared_ptr<DiarioSqlite> diario = abrirDiario(argumentos, avisos, opciones, &codigo);
    if (!diario)
        return codigo;
    for (const EntradaTrabajo& e : diario->entradas()) {
        const QStringList campos{QString::number(e.numero),
                                 e.hora.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")),
                                 nombreTipoTrabajo(e.tipo),
                                 e.pedida,
                                 e.usada,
                                 nombreEstadoTrabajo(e.estado),
                                 e.motivo};
        escribir(stdout, campos.join(QLatin1Char('\t')) + QLatin1Char('\n'));
    }
    return 0;
}

int modoReimprimir(const QStringList& argumentos) {
    bool ok = false;
    const qint64 numero = argumentos.value(0).toLongLong(&ok);
    if (!ok || numero < 1)
        return fallar(QStringLiteral("--reimprimir necesita el número de un trabajo"), 2);
    QStringList resto = argumentos.mid(1);
    QString impresora;
    if (const qsizetype i = resto.indexOf(QStringLiteral("--impresora")); i >= 0) {
        if (i + 1 >= resto.size())
            return fallar(QStringLiteral("falta el valor de --impresora"), 2);
        impresora = resto.at(i + 1);
        resto.remove(i, 2);
    }
    AvisosConsola avisos;
    OpcionesAgente opciones;
    int codigo = 0;
    const std::shared_ptr<DiarioSqlite> diario = abrirDiario(resto, avisos, opciones, &codigo);
    if (!diario)
        return codigo;
    const std::optional<EntradaTrabajo> entrada = diario->entrada(numero);
    if (!entrada)
        return fallar(QStringLiteral("no existe el trabajo %1").arg(numero), 1);
    if (impresora.isEmpty())
        impresora = entrada->usada.isEmpty() ? entrada->pedida : entrada->usada;
    GrabadorTrabajos grabador(crearSistemaAgente(opciones.impresion, avisos), diario);
    // A receipt printer's bytes leave on a thread of their own, and a spooled job may still fail: the reprint
    // is followed to its end, as the agent follows its own, before this process goes away with it.
    const std::chrono::seconds limite(std::max(1, opciones.impresion.limiteImpresion));
    auto seguimiento = std::make_unique<SeguimientoTrabajos>(grabador, avisos, limite);
    SeguimientoTrabajos& siguiendo = *seguimiento;
    grabador.fijarSeguimiento(std::move(seguimiento));
    QString error;
    if (!grabador.reimprimir(entrada->documento, impresora, numero, &error))
        return fallar(QStringLiteral("no se pudo reimprimir el trabajo %1: %2").arg(numero).arg(error), 1);
    // The follow-up gives up on its own at the limit (and re-routes); the extra minute covers that resend.
    const QDeadlineTimer plazo(limite + std::chrono::minutes(1));
    while (siguiendo.pendientes() > 0 && !plazo.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    const QList<EntradaTrabajo> recientes = diario->entradas(50);
    for (auto e = recientes.crbegin(); e != recientes.crend(); ++e) {
        if (e->tipo != TipoTrabajo::Reimpresion || e->original != numero)
            continue;
        if (e->estado == EstadoTrabajo::Impreso)
            break;
        return fallar(QStringLiteral("no se pudo reimprimir el trabajo %1 en %2: %3 (%4)")
                          .arg(numero)
                          .arg(impresora, e->motivo, nombreEstadoTrabajo(e->estado)),
                      1);
    }
    escribir(stdout, QStringLiteral("Trabajo %1 reimpreso en %2\n").arg(numero).arg(impresora));
    return 0;
}

} // namespace kestrel
