#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QSet>
#include <QSqlQuery>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "print/trabajo.h"

namespace kestrel {

class Avisos;

/// The job journal: "trabajos.sqlite" in the application folder. Write-ahead logging, a busy timeout and one
/// short transaction per write let the agent and a reprint from the command line write at the same time.
/// A journal that cannot be written is reported once (log and balloon) and printing goes on without it.
class DiarioSqlite : public DiarioTrabajos {
public:
    static constexpr const char* nombreArchivo = "trabajos.sqlite";

    /// Opens (or starts) the journal of carpeta. A file that is not a sound database is renamed aside with
    /// the time and a new one started. avisos may be null (the command line reports on standard error).
    DiarioSqlite(const QString& carpeta, Avisos* avisos);
    ~DiarioSqlite() override;
    DiarioSqlite(const DiarioSqlite&) = delete;
    DiarioSqlite& operator=(const DiarioSqlite&) = delete;

    /// What the agent does once at start: entries left "enviando" become "desconocido", and entries older
    /// than dias days (with the pictures only they used) go. From then on the write-ahead log is copied back
    /// into the file (and synced) by a thread of the journal's own.
    void prepararInicio(int dias);

    bool disponible() const { return m_disponible; }
    /// The first problem met, empty while none.
    const QString& problema() const { return m_problema; }

    qint64 anotar(const EntradaTrabajo& entrada) override;
    void actualizar(qint64 numero, EstadoTrabajo estado, const QString& usada, const QString& motivo,
                    qint64 idCups = 0) override;

    /// The latest limite entries, oldest first, without their documents (0 means all of them).
    QList<EntradaTrabajo> entradas(int limite = 0);
    /// Entry numero with its document and pictures, or nothing.
    std::optional<EntradaTrabajo> entrada(qint64 numero);

    /// Called after every write that succeeded (the window refreshes its list).
    void fijarAlCambiar(std::function<void()> alCambiar) { m_alCambiar = std::move(alCambiar); }
    /// Where entry times come from; the tests pin it.
    void fijarReloj(std::function<QDateTime()> reloj) { m_reloj = std::move(reloj); }

private:
    bool abrir();
    bool crearEsquema();
    void averia(const QString& que);
    /// The statement cached in cache, prepared on first use.
    QSqlQuery& sentencia(std::optional<QSqlQuery>& cache, const char* sql);
    /// The checkpoint thread: every second with writes, a passive checkpoint on a connection of its own.
    void copiarRegistro();

    QString m_ruta;
    QString m_conexion;
    Avisos* m_avisos;
    bool m_disponible = false;
    QString m_problema;
    std::function<void()> m_alCambiar;
    std::function<QDateTime()> m_reloj;
    std::optional<QSqlQuery> m_sqlImagen;
    std::optional<QSqlQuery> m_sqlAnotar;
    std::optional<QSqlQuery> m_sqlEnlace;
    std::optional<QSqlQuery> m_sqlActualizar;
    /// Pictures this journal stored lately, by hash.
    QSet<QString> m_huellasGuardadas;
    QElapsedTimer m_guardadas;
    std::atomic_int m_escrituras = 0;
    std::mutex m_mutexControl;
    std::condition_variable m_cvControl;
    bool m_parar = false;
    std::thread m_controles;
};

} // namespace kestrel
