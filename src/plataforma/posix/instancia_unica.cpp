#include "plataforma/instancia_unica.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kestrel {

InstanciaUnica::InstanciaUnica(const QString& carpetaAplicacion) {
    QFileInfo info(carpetaAplicacion);
    const QString canonica = info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
    const QByteArray huella = QCryptographicHash::hash(canonica.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    // The user's session folder when there is one (private, emptied at logout); otherwise the temporary folder,
    // with the user's number in the name so that two users of one PC never share a lock.
    const QString sesion = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!sesion.isEmpty() && QFileInfo(sesion).isDir())
        m_ruta = QDir(sesion).filePath(QStringLiteral("kestrel-agente-%1.lock").arg(QString::fromLatin1(huella)));
    else
        m_ruta =
            QDir(QDir::tempPath())
                .filePath(QStringLiteral("kestrel-agente-%1-%2.lock").arg(::getuid()).arg(QString::fromLatin1(huella)));
}

InstanciaUnica::~InstanciaUnica() {
    if (m_bloqueo >= 0)
        ::close(static_cast<int>(m_bloqueo));
}

bool InstanciaUnica::adquirir() {
    if (m_bloqueo >= 0)
        return true;
    const QByteArray ruta = QFile::encodeName(m_ruta);
    int fd = ::open(ruta.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) // created by another user: a read-only descriptor can hold the lock as well
        fd = ::open(ruta.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return true; // no lock can be taken here (read-only temporary folder): do not refuse to run
    // Locks belong to the open file, so a second open in this very process is refused too.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_bloqueo = fd;
    return true;
}

} // namespace kestrel
