#pragma once

#include <QString>

namespace kestrel {

/// Keeps a second agent from running on the same application folder (its "Acceso" and its link) in the
/// user's session. The lock is a kernel lock on a file in the session folder (XDG_RUNTIME_DIR, else the
/// temporary folder) named after the folder: the system drops it when the process ends, however it ends, so
/// a crashed agent never blocks the next start.
class InstanciaUnica {
public:
    explicit InstanciaUnica(const QString& carpetaAplicacion);
    ~InstanciaUnica();
    InstanciaUnica(const InstanciaUnica&) = delete;
    InstanciaUnica& operator=(const InstanciaUnica&) = delete;

    /// True when this object now holds the lock (or already held it).
    bool adquirir();
    QString rutaBloqueo() const { return m_ruta; }

private:
    QString m_ruta;
    int m_descriptor = -1;
};

} // namespace kestrel
