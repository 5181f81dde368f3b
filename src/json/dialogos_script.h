#pragma once

#include <QString>

namespace kestrel {

enum class IconoDialogo {
    Informacion,
    Exclamacion,
    Critico,
};

/// The message box and the input box a script can show. This library cannot show a widget: the agent passes
/// Qt's dialogs, the console mode passes standard error and input, tests pass their own answers.
class DialogosScript {
public:
    virtual ~DialogosScript() = default;
    /// A message box with an OK button.
    virtual void mensaje(const QString& texto, IconoDialogo icono, const QString& titulo) = 0;
    /// An input box showing pregunta with porOmision already typed: the answer, or the empty text when the
    /// user cancels.
    virtual QString entrada(const QString& pregunta, const QString& titulo, const QString& porOmision) = 0;
};

} // namespace kestrel
