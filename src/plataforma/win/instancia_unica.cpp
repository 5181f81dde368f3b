#include "plataforma/instancia_unica.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <windows.h>

namespace kestrel {

InstanciaUnica::InstanciaUnica(const QString& carpetaAplicacion) {
    QFileInfo info(carpetaAplicacion);
    const QString canonica = info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
    // Windows paths ignore case: C:\Kestrel and c:\kestrel are one folder, so they must be one lock.
    const QByteArray huella =
        QCryptographicHash::hash(QDir::toNativeSeparators(canonica).toLower().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    // Local\ is the namespace of the user's logon session: two users of one PC each get their own agent.
    m_ruta = QStringLiteral("Local\\kestrel-agente-%1").arg(QString::fromLatin1(huella));
}

InstanciaUnica::~InstanciaUnica() {
    if (m_bloqueo != -1)
        ::CloseHandle(reinterpret_cast<HANDLE>(m_bloqueo));
}

bool InstanciaUnica::adquirir() {
    if (m_bloqueo != -1)
        return true;
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, reinterpret_cast<const wchar_t*>(m_ruta.utf16()));
    if (!mutex)
        return true; // no lock can be taken here: do not refuse to run
    // The mutex lives while any handle to it is open, so a second open in this very process is refused too.
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return false;
    }
    m_bloqueo = reinterpret_cast<qintptr>(mutex);
    return true;
}

} // namespace kestrel
