#pragma once

#include <QString>

#include "json/dialogos_script.h"

class QWidget;

namespace kestrel {

using IconoMensaje = IconoDialogo;

/// The modal questions and notices of the window: the message and input boxes (the same ones a JSON script
/// shows) and the open-file dialog. Tests answer them; the agent uses Qt's dialogs.
class Dialogos : public DialogosScript {
public:
    /// An open-file dialog. filtro lists description and patterns separated by "|" ("Todos|*.*"); patterns
    /// within an entry are separated by "," or ";". Empty when cancelled.
    virtual QString abrirArchivo(const QString& filtro) = 0;
    /// A message box that closes by itself after plazoMs when nobody answers it.
    virtual void aviso(const QString& texto, IconoMensaje icono, const QString& titulo, int /*plazoMs*/) {
        mensaje(texto, icono, titulo);
    }
};

/// Qt's message box, input dialog and file dialog.
class DialogosQt : public Dialogos {
public:
    void fijarPadre(QWidget* padre) { m_padre = padre; }

    void mensaje(const QString& texto, IconoMensaje icono, const QString& titulo) override;
    void aviso(const QString& texto, IconoMensaje icono, const QString& titulo, int plazoMs) override;
    QString entrada(const QString& pregunta, const QString& titulo, const QString& porOmision) override;
    QString abrirArchivo(const QString& filtro) override;

private:
    void mostrar(const QString& texto, IconoMensaje icono, const QString& titulo, int plazoMs);

    QWidget* m_padre = nullptr;
};

/// A "description|patterns|..." filter in Qt's "description (p1 p2);;..." form.
QString filtroQt(const QString& filtro);

} // namespace kestrel
