#pragma once

#include <QString>
#include <QtGlobal>

namespace kestrel {

/// Keeps a second agent from running on the same application folder (its "Acceso" and its link) in the
/// user's session. The lock is the system's own, named after the folder, and the system drops it when the
/// process ends, however it ends, so a crashed agent never blocks the next start: on POSIX a kernel lock on a
/// file in the session folder (XDG_RUNTIME_DIR, else the temporary folder); on Windows a named mutex in the
/// session's own namespace (Local\), which another user's session on the same PC never sees.
class InstanciaUnica {
public:
    explicit InstanciaUnica(const QString& carpetaAplicacion);
    ~InstanciaUnica();
    InstanciaUnica(const InstanciaUnica&) = delete;
    InstanciaUnica& operator=(const InstanciaUnica&) = delete;

    /// True when this object now holds the lock (or already held it).
    bool adquirir();
    /// The lock file, or the mutex's name on Windows.
    QString rutaBloqueo() const { return m_ruta; }

private:
    QString m_ruta;
    /// The open file's descriptor, or the mutex's handle; -1 while the lock is not held.
    qintptr m_bloqueo = -1;
};

} // namespace kestrel
