#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "print/trabajo.h"

namespace kestrel {

class Avisos;

/// The job journal: "trabajos.sqlite" in the application folder. Write-ahead logging, a busy timeout and one
/// short transaction per write let the agent and a reprint from the command line write at the same time.
/// While the file cannot be written (disk full, locked, read-only) entries and their changes wait in memory,
/// at most limitePendientes of them, and are written as soon as it can be again; the outage and the recovery
/// are each reported once (log and balloon), and printing goes on meanwhile.
class DiarioSqlite : public DiarioTrabajos {
public:
    static constexpr const char* nombreArchivo = "trabajos.sqlite";
    /// Entries kept in memory while the file cannot be written: hours of a busy branch, a few megabytes.
    static constexpr int limitePendientes = 10000;
    /// How often entries waiting in memory are tried again.
    static constexpr int intervaloReintentoMs = 2000;

    /// Opens (or starts) the journal of carpeta. A file that is not a sound database is renamed aside with
    /// the time (its write-ahead files beside it, under the same name) and a new one started. avisos may be
    /// null (the command line reports on standard error). esperaOcupadoMs is how long a write waits for a
    /// file another process holds before the entry waits in memory.
    DiarioSqlite(const QString& carpeta, Avisos* avisos, int esperaOcupadoMs = 5000);
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

    /// Writes the entries waiting in memory, in order; true when none is left. Runs by itself every
    /// intervaloReintentoMs while there are some, and before every write.
    bool escribirPendientes();
    qsizetype pendientes() const { return m_pendientes.size(); }

    /// Called after every write that succeeded (the window refreshes its list).
    void fijarAlCambiar(std::function<void()> alCambiar) { m_alCambiar = std::move(alCambiar); }
    /// Where entry times come from; the tests pin it.
    void fijarReloj(std::function<QDateTime()> reloj) { m_reloj = std::move(reloj); }

private:
    /// A new entry not yet in the file (numero is a provisional, negative number) or, for one already in it,
    /// its latest change.
    struct Pendiente {
        bool nueva = false;
        EntradaTrabajo entrada;
    };

    bool abrir();
    /// Writes one entry with its time; its number, or 0 (the problem reported).
    qint64 escribir(const EntradaTrabajo& e, const QDateTime& hora);
    bool escribirCambio(qint64 numero, EstadoTrabajo estado, const QString& usada, const QString& motivo,
                        qint64 idCups);
    /// Keeps p in memory; false when the memory is full too (the entry is lost, and counted).
    bool guardarPendiente(Pendiente p);
    /// Whether to try the file now: at most once a second while it fails, so a locked file does not hold up
    /// every document by the busy timeout.
    bool probarArchivo();
    bool crearEsquema();
    void averia(const QString& que);
    /// The statement cached in cache, prepared on first use.
    QSqlQuery& sentencia(std::optional<QSqlQuery>& cache, const char* sql);
    /// The checkpoint thread: every second with writes, a passive checkpoint on a connection of its own.
    void copiarRegistro();

    QString m_ruta;
    QString m_conexion;
    Avisos* m_avisos;
    int m_esperaOcupado;
    std::deque<Pendiente> m_pendientes;
    qint64 m_siguienteProvisional = -1;
    /// Provisional numbers of entries already written, and their numbers in the file: the follow-up of a
    /// spooled job still holds the provisional one.
    QHash<qint64, qint64> m_escritas;
    int m_perdidas = 0;
    QElapsedTimer m_ultimoIntento;
    QTimer m_reintento;
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
