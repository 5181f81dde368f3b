#pragma once

#include <QString>

class QWidget;

namespace kestrel {

enum class IconoMensaje {
    Informacion,
    Exclamacion,
    Critico,
};

/// The modal questions and notices of the window. Tests answer them; the agent uses Qt's dialogs.
class Dialogos {
public:
    virtual ~Dialogos() = default;
    /// A message box with an OK button.
    virtual void mensaje(const QString& texto, IconoMensaje icono, const QString& titulo) = 0;
    /// An input box: the answer, or empty when cancelled.
    virtual QString entrada(const QString& pregunta, const QString& titulo, const QString& porOmision) = 0;
    /// An open-file dialog. filtro lists description and patterns separated by "|" ("Todos|*.*"); patterns
    /// within an entry are separated by "," or ";". Empty when cancelled.
    virtual QString abrirArchivo(const QString& filtro) = 0;
};

/// Qt's message box, input dialog and file dialog.
class DialogosQt : public Dialogos {
public:
    void fijarPadre(QWidget* padre) { m_padre = padre; }

    void mensaje(const QString& texto, IconoMensaje icono, const QString& titulo) override;
    QString entrada(const QString& pregunta, const QString& titulo, const QString& porOmision) override;
    QString abrirArchivo(const QString& filtro) override;

private:
    QWidget* m_padre = nullptr;
};

/// A "description|patterns|..." filter in Qt's "description (p1 p2);;..." form.
QString filtroQt(const QString& filtro);

} // namespace kestrel
