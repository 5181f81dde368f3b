#include "trabajos/diario_sqlite.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "print/avisos.h"

namespace kestrel {

namespace {

const QString formatoHora = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

// SQLite's own numbers for a file that is not a database, or one whose pages are damaged: such a file is set
// aside. Anything else (locked, read-only, disk full) is left where it is.
bool archivoDanado(const QSqlError& error) {
    const QString codigo = error.nativeErrorCode();
    return codigo == QLatin1String("26") || codigo == QLatin1String("11");
}

QString columnas(bool conDocumento) {
    return QStringLiteral("numero, hora, tipo, pedida, usada, estado, motivo, original, id_cups") +
           (conDocumento ? QStringLiteral(", documento") : QString());
}

// SQLite is handed UTF-16 and stores UTF-8: a lone surrogate (an area name cut in the middle of a pair, say)
// would reach the file as bytes no reader accepts. It is stored as U+FFFD instead.
QString textoValido(const QString& texto) {
    QString limpio;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (!c.isSurrogate())
            continue;
        if (c.isHighSurrogate() && i + 1 < texto.size() && texto.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (limpio.isNull())
            limpio = texto;
        limpio[i] = QChar::ReplacementCharacter;
    }
    return limpio.isNull() ? texto : limpio;
}

// A change as the file makes it: a spooler job of 0 leaves the one noted before.
void cambiar(EntradaTrabajo& e, EstadoTrabajo estado, const QString& usada, const QString& motivo, qint64 idCups) {
    e.estado = estado;
    e.usada = usada;
    e.motivo = motivo;
    if (idCups != 0)
        e.idCups = idCups;
}

EntradaTrabajo leerEntrada(const QSqlQuery& q) {
    EntradaTrabajo e;
    e.numero = q.value(0).toLongLong();
    e.hora = QDateTime::fromString(q.value(1).toString(), formatoHora);
    e.tipo = tipoTrabajoDe(q.value(2).toString()).value_or(TipoTrabajo::Comanda);
    e.pedida = q.value(3).toString();
    e.usada = q.value(4).toString();
    e.estado = estadoTrabajoDe(q.value(5).toString()).value_or(EstadoTrabajo::Desconocido);
    e.motivo = q.value(6).toString();
    e.original = q.value(7).toLongLong();
    e.idCups = q.value(8).toLongLong();
    return e;
}

} // namespace

DiarioSqlite::DiarioSqlite(const QString& carpeta, Avisos* avisos, int esperaOcupadoMs)
    : m_ruta(QDir(carpeta).filePath(QString::fromLatin1(nombreArchivo))),
      m_conexion(QStringLiteral("trabajos-%1").arg(reinterpret_cast<quintptr>(this))), m_avisos(avisos),
      m_esperaOcupado(esperaOcupadoMs) {
    m_reintento.setInterval(intervaloReintentoMs);
    m_reintento.callOnTimeout([this] {
        if (escribirPendientes())
            m_reintento.stop();
    });
    m_disponible = abrir();
}

DiarioSqlite::~DiarioSqlite() {
    // A last chance for what waited in memory, in silence: whoever listened may already be gone.
    m_avisos = nullptr;
    m_alCambiar = {};
    if (m_disponible)
        escribirPendientes();
    if (m_controles.joinable()) {
        {
            std::lock_guard bloqueo(m_mutexControl);
            m_parar = true;
        }
        m_cvControl.notify_one();
        m_controles.join();
    }
    // Prepared statements hold the connection: they go before it.
    m_sqlImagen.reset();
    m_sqlAnotar.reset();
    m_sqlEnlace.reset();
    m_sqlActualizar.reset();
    QSqlDatabase::database(m_conexion, false).close();
    QSqlDatabase::removeDatabase(m_conexion);
}

bool DiarioSqlite::abrir() {
    for (int intento = 0; intento < 2; ++intento) {
        // Kept for whoever wants to look at it; the agent starts a new journal and goes on.
        const QString aparte = m_ruta + QStringLiteral(".danado-") +
                               QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        {
            QSqlDatabase db = QSqlDatabase::contains(m_conexion)
                                  ? QSqlDatabase::database(m_conexion, false)
                                  : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_conexion);
            if (!db.isValid()) {
                averia(QStringLiteral("falta el controlador SQLite de Qt"));
                return false;
            }
            db.setDatabaseName(m_ruta);
            // A reprint from the command line may hold the file for a moment; waiting beats losing the entry.
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_esperaOcupado));
            if (!db.open()) {
                averia(QStringLiteral("no se puede abrir %1 (%2)").arg(m_ruta, db.lastError().text()));
                return false;
            }
            QSqlQuery q(db);
            const bool sano = q.exec(QStringLiteral("PRAGMA quick_check")) && q.next() &&
                              q.value(0).toString() == QLatin1String("ok");
            q.finish();
            if (sano || (!archivoDanado(q.lastError()) && q.lastError().isValid()))
                return crearEsquema();
            // The write-ahead files go with it (the last entries may be in the log), and before the connection
            // closes: closing deletes them. One that cannot be moved must not reach the new journal either.
            for (const QLatin1StringView cola : {QLatin1StringView("-wal"), QLatin1StringView("-shm")}) {
                if (QFile::exists(m_ruta + cola) && !QFile::rename(m_ruta + cola, aparte + cola))
                    QFile::remove(m_ruta + cola);
            }
            db.close();
        }
        if (!QFile::rename(m_ruta, aparte)) {
            averia(QStringLiteral("%1 está dañado y no se puede apartar").arg(m_ruta));
            return false;
        }
        if (m_avisos)
            m_avisos->registrar(
                QStringLiteral("Diario de trabajos dañado: guardado como %1; se empieza uno nuevo").arg(aparte));
    }
    return false;
}

bool DiarioSqlite::crearEsquema() {
    QSqlQuery q(QSqlDatabase::database(m_conexion, false));
    const QStringList sentencias{
        QStringLiteral("PRAGMA journal_mode=WAL"),
        // With WAL, NORMAL syncs at checkpoints rather than at every entry: a power cut may lose the last
        // entries, never the file, and a document is not held up waiting for the disk.
        QStringLiteral("PRAGMA synchronous=NORMAL"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS trabajos (numero INTEGER PRIMARY KEY AUTOINCREMENT, hora TEXT NOT "
                       "NULL, tipo TEXT NOT NULL, pedida TEXT, usada TEXT, estado TEXT NOT NULL, motivo TEXT, original "
                       "INTEGER, id_cups INTEGER, documento BLOB, vista BLOB)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS imagenes (huella TEXT PRIMARY KEY, datos BLOB NOT NULL)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS trabajo_imagen (numero INTEGER NOT NULL, huella TEXT NOT NULL)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS trabajo_imagen_numero ON trabajo_imagen (numero)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS trabajos_hora ON trabajos (hora)")};
    for (const QString& s : sentencias) {
        if (!q.exec(s)) {
            averia(QStringLiteral("no se puede preparar %1 (%2)").arg(m_ruta, q.lastError().text()));
            return false;
        }
    }
    return true;
}

void DiarioSqlite::averia(const QString& que) {
    if (!m_problema.isEmpty())
        return;
    m_problema = que;
    // A file another process keeps locked would otherwise hold up every document by the whole busy timeout.
    QSqlDatabase db = QSqlDatabase::database(m_conexion, false);
    if (db.isOpen())
        QSqlQuery(db).exec(QStringLiteral("PRAGMA busy_timeout=200"));
    if (!m_avisos)
        return;
    m_avisos->registrar(
        QStringLiteral("Diario de trabajos: %1. La impresión sigue; los trabajos esperan en memoria (hasta %2).")
            .arg(que)
            .arg(limitePendientes));
    m_avisos->mostrarGlobo(QStringLiteral("No se pueden registrar los trabajos: ") + que, iconoglobo::advertencia,
                           QStringLiteral("Diario de trabajos"), tiempoGlobo);
}

void DiarioSqlite::prepararInicio(int dias) {
    if (!m_disponible)
        return;
    QSqlDatabase db = QSqlDatabase::database(m_conexion, false);
    QSqlQuery q(db);
    const QString limite = QDateTime::currentDateTime().addDays(-dias).toString(formatoHora);
    db.transaction();
    const bool bien =
        q.exec(QStringLiteral("UPDATE trabajos SET estado = 'desconocido' WHERE estado = 'enviando'")) &&
        q.prepare(QStringLiteral("DELETE FROM trabajos WHERE hora < ?")) && (q.addBindValue(limite), q.exec()) &&
        q.exec(QStringLiteral("DELETE FROM trabajo_imagen WHERE numero NOT IN (SELECT numero FROM trabajos)")) &&
        q.exec(QStringLiteral("DELETE FROM imagenes WHERE huella NOT IN (SELECT huella FROM trabajo_imagen)"));
    if (!bien || !db.commit()) {
        averia(QStringLiteral("no se puede depurar %1 (%2)").arg(m_ruta, q.lastError().text()));
        db.rollback();
        return;
    }
    // The disk sync of a write-ahead log happens at its checkpoints: run by SQLite inside whichever write
    // fills the log (1000 pages), it would hold up that document's reply now and then. A thread of its own
    // copies the log back instead, without blocking the writers; the writer's own checkpoint stays, at four
    // times the size, only for a burst that thread cannot keep up with, and a log grown by one is cut back
    // when it starts over.
    if (q.exec(QStringLiteral("PRAGMA wal_autocheckpoint=4000")) &&
        q.exec(QStringLiteral("PRAGMA journal_size_limit=4194304")))
        m_controles = std::thread([this] { copiarRegistro(); });
}

void DiarioSqlite::copiarRegistro() {
    const QString nombre = m_conexion + QStringLiteral("-control");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nombre);
        db.setDatabaseName(m_ruta);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (db.open()) {
            QSqlQuery q(db);
            std::unique_lock bloqueo(m_mutexControl);
            for (bool ultima = false; !ultima;) {
                ultima = m_cvControl.wait_for(bloqueo, std::chrono::seconds(1), [this] { return m_parar; });
                if (m_escrituras.exchange(0) == 0)
                    continue;
                bloqueo.unlock();
                q.exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
                q.finish();
                bloqueo.lock();
            }
        }
    }
    QSqlDatabase::removeDatabase(nombre);
}

QSqlQuery& DiarioSqlite::sentencia(std::optional<QSqlQuery>& cache, const char* sql) {
    // Each statement is parsed once per connection: an entry is written twice for every document, on the
    // thread that answers the service.
    if (!cache) {
        cache.emplace(QSqlDatabase::database(m_conexion, false));
        cache->prepare(QString::fromLatin1(sql));
    }
    return *cache;
}

qint64 DiarioSqlite::anotar(const EntradaTrabajo& e) {
    if (!m_disponible)
        return 0;
    const QDateTime hora = m_reloj ? m_reloj() : QDateTime::currentDateTime();
    // Entries waiting in memory go first, so the file keeps the order the documents had.
    if (!m_pendientes.empty() && probarArchivo())
        escribirPendientes();
    if (m_pendientes.empty()) {
        if (const qint64 numero = escribir(e, hora); numero > 0)
            return numero;
        m_ultimoIntento.start();
    }
    Pendiente p{true, e};
    p.entrada.numero = m_siguienteProvisional;
    p.entrada.hora = hora;
    if (!guardarPendiente(std::move(p)))
        return 0;
    return m_siguienteProvisional--;
}

qint64 DiarioSqlite::escribir(const EntradaTrabajo& e, const QDateTime& hora) {
    QSqlDatabase db = QSqlDatabase::database(m_conexion, false);
    // Another process may prune pictures no entry uses any more; an hour-old memory of what is stored could
    // name one that is gone.
    if (!m_guardadas.isValid() || m_guardadas.hasExpired(3600 * 1000)) {
        m_huellasGuardadas.clear();
        m_guardadas.start();
    }
    bool bien = db.transaction();
    QSqlQuery* fallida = nullptr;
    const QHash<QString, QByteArray>& imagenes = e.documento.imagenes();
    for (auto i = imagenes.cbegin(); bien && i != imagenes.cend(); ++i) {
        // The logo goes with every invoice: once stored it is not handed to SQLite again.
        if (m_huellasGuardadas.contains(i.key()))
            continue;
        QSqlQuery& q = sentencia(m_sqlImagen, "INSERT OR IGNORE INTO imagenes (huella, datos) VALUES (?, ?)");
        q.bindValue(0, i.key());
        q.bindValue(1, i.value());
        bien = q.exec();
        fallida = &q;
    }
    QSqlQuery& q = sentencia(m_sqlAnotar, "INSERT INTO trabajos (hora, tipo, pedida, usada, estado, motivo, original, "
                                          "id_cups, documento, vista) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    int i = 0;
    // Level 1: a few percent bigger than the default level, at a fraction of its time.
    for (const QVariant& v :
         {QVariant(hora.toString(formatoHora)), QVariant(nombreTipoTrabajo(e.tipo)), QVariant(textoValido(e.pedida)),
          QVariant(textoValido(e.usada)), QVariant(nombreEstadoTrabajo(e.estado)), QVariant(textoValido(e.motivo)),
          QVariant(e.original), QVariant(e.idCups), QVariant(qCompress(e.documento.aJson(), 1)),
          QVariant(qCompress(textoValido(e.vista.join(QLatin1Char('\n'))).toUtf8(), 1))})
        q.bindValue(i++, v);
    if (bien) {
        bien = q.exec();
        fallida = &q;
    }
    const qint64 numero = bien ? q.lastInsertId().toLongLong() : 0;
    for (const QString& huella : e.documento.huellas()) {
        if (!bien)
            break;
        QSqlQuery& enlace = sentencia(m_sqlEnlace, "INSERT INTO trabajo_imagen (numero, huella) VALUES (?, ?)");
        enlace.bindValue(0, numero);
        enlace.bindValue(1, huella);
        bien = enlace.exec();
        fallida = &enlace;
    }
    if (!bien || !db.commit()) {
        averia(QStringLiteral("no se puede escribir en %1 (%2)")
                   .arg(m_ruta, fallida && fallida->lastError().isValid() ? fallida->lastError().text()
                                                                          : db.lastError().text()));
        db.rollback();
        return 0;
    }
    for (auto h = imagenes.cbegin(); h != imagenes.cend(); ++h)
        m_huellasGuardadas.insert(h.key());
    ++m_escrituras;
    if (m_alCambiar)
        m_alCambiar();
    return numero;
}

void DiarioSqlite::actualizar(qint64 numero, EstadoTrabajo estado, const QString& usada, const QString& motivo,
                              qint64 idCups) {
    if (!m_disponible || numero == 0)
        return;
    if (numero < 0) {
        const auto escrita = m_escritas.constFind(numero);
        if (escrita == m_escritas.cend()) {
            // Still in memory: the change is the entry's own; otherwise it was lost and there is nothing to change.
            for (Pendiente& p : m_pendientes) {
                if (p.nueva && p.entrada.numero == numero) {
                    cambiar(p.entrada, estado, usada, motivo, idCups);
                    return;
                }
            }
            return;
        }
        numero = *escrita;
    }
    if (!m_pendientes.empty() && probarArchivo())
        escribirPendientes();
    if (m_pendientes.empty()) {
        if (escribirCambio(numero, estado, usada, motivo, idCups))
            return;
        m_ultimoIntento.start();
    }
    // Only the latest change of an entry matters (and the last spooler job it named).
    for (Pendiente& p : m_pendientes) {
        if (!p.nueva && p.entrada.numero == numero) {
            cambiar(p.entrada, estado, usada, motivo, idCups);
            return;
        }
    }
    Pendiente p;
    p.entrada.numero = numero;
    cambiar(p.entrada, estado, usada, motivo, idCups);
    guardarPendiente(std::move(p));
}

bool DiarioSqlite::escribirCambio(qint64 numero, EstadoTrabajo estado, const QString& usada, const QString& motivo,
                                  qint64 idCups) {
    QSqlQuery& q = sentencia(m_sqlActualizar, "UPDATE trabajos SET estado = ?, usada = ?, motivo = ?, id_cups = "
                                              "COALESCE(NULLIF(?, 0), id_cups) WHERE numero = ?");
    q.bindValue(0, nombreEstadoTrabajo(estado));
    q.bindValue(1, textoValido(usada));
    q.bindValue(2, textoValido(motivo));
    q.bindValue(3, idCups);
    q.bindValue(4, numero);
    if (!q.exec()) {
        averia(QStringLiteral("no se puede escribir en %1 (%2)").arg(m_ruta, q.lastError().text()));
        return false;
    }
    ++m_escrituras;
    if (m_alCambiar)
        m_alCambiar();
    return true;
}

bool DiarioSqlite::probarArchivo() {
    return !m_ultimoIntento.isValid() || m_ultimoIntento.hasExpired(1000);
}

bool DiarioSqlite::guardarPendiente(Pendiente p) {
    if (m_pendientes.size() >= static_cast<std::size_t>(limitePendientes)) {
        ++m_perdidas;
        return false;
    }
    m_pendientes.push_back(std::move(p));
    if (!m_reintento.isActive())
        m_reintento.start();
    return true;
}

bool DiarioSqlite::escribirPendientes() {
    if (m_pendientes.empty())
        return true;
    m_ultimoIntento.start();
    qsizetype escritas = 0;
    while (!m_pendientes.empty()) {
        const Pendiente& p = m_pendientes.front();
        const EntradaTrabajo& e = p.entrada;
        if (p.nueva) {
            const qint64 numero = escribir(e, e.hora);
            if (numero == 0)
                return false;
            m_escritas.insert(e.numero, numero);
            // A follow-up ends within the print limit: only the recent provisional numbers can still come back.
            m_escritas.remove(e.numero + limitePendientes);
        } else if (!escribirCambio(e.numero, e.estado, e.usada, e.motivo, e.idCups)) {
            return false;
        }
        m_pendientes.pop_front();
        ++escritas;
    }
    QString texto = QStringLiteral("Diario de trabajos: se puede escribir otra vez en %1; se anotaron %2 "
                                   "registros que esperaban en memoria")
                        .arg(m_ruta)
                        .arg(escritas);
    if (m_perdidas > 0)
        texto += QStringLiteral(" (%1 trabajos no cupieron en la memoria y no quedaron anotados)").arg(m_perdidas);
    m_perdidas = 0;
    m_problema.clear();
    QSqlDatabase db = QSqlDatabase::database(m_conexion, false);
    QSqlQuery(db).exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(m_esperaOcupado));
    if (m_avisos) {
        m_avisos->registrar(texto);
        m_avisos->mostrarGlobo(QStringLiteral("Los trabajos se registran otra vez en el diario"),
                               iconoglobo::informacion, QStringLiteral("Diario de trabajos"), tiempoGlobo);
    }
    return true;
}

QList<EntradaTrabajo> DiarioSqlite::entradas(int limite) {
    QList<EntradaTrabajo> lista;
    if (!m_disponible)
        return lista;
    QSqlQuery q(QSqlDatabase::database(m_conexion, false));
    q.exec(QStringLiteral("SELECT * FROM (SELECT %1 FROM trabajos ORDER BY numero DESC LIMIT %2) ORDER BY numero")
               .arg(columnas(false))
               .arg(limite > 0 ? limite : -1));
    while (q.next())
        lista.append(leerEntrada(q));
    return lista;
}

std::optional<EntradaTrabajo> DiarioSqlite::entrada(qint64 numero) {
    if (!m_disponible)
        return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(m_conexion, false));
    q.prepare(QStringLiteral("SELECT %1 FROM trabajos WHERE numero = ?").arg(columnas(true)));
    q.addBindValue(numero);
    if (!q.exec() || !q.next())
        return std::nullopt;
    EntradaTrabajo e = leerEntrada(q);
    e.documento = DocumentoTrabajo::deJson(qUncompress(q.value(9).toByteArray())).value_or(DocumentoTrabajo());
    e.vista = e.documento.vista();
    QSqlQuery imagenes(QSqlDatabase::database(m_conexion, false));
    imagenes.prepare(QStringLiteral("SELECT huella, datos FROM imagenes WHERE huella IN (SELECT huella FROM "
                                    "trabajo_imagen WHERE numero = ?)"));
    imagenes.addBindValue(numero);
    if (imagenes.exec()) {
        while (imagenes.next())
            e.documento.agregarImagen(imagenes.value(0).toString(), imagenes.value(1).toByteArray());
    }
    return e;
}

} // namespace kestrel
