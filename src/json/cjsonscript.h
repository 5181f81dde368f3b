#pragma once

#include <QString>

#include <cstdint>
#include <memory>

#include "json/valor.h"

namespace kestrel {

class DialogosScript;

/// Runs small scripts written in JSON and returns the text they produce. A script is a list whose texts are
/// copied to the output and whose objects are commands: "alert", "input", "switch", "set", "get", "if",
/// "return", and any other name, which becomes the placeholder <%NAME(arguments)%> for a later stage.
/// Variables live as long as the evaluator.
class cJSONScript {
public:
    explicit cJSONScript(DialogosScript& dialogos);

    /// Parses and runs a script. A script that does not parse shows the "Parser Error" message box and gives
    /// the empty text. A top-level object is run as a single command. A command that needs an object and
    /// gets something else raises a FalloPlataforma, which reaches the caller; the evaluator stays usable.
    QString Eval(const QString& sJSON);
    /// The text one value produces: texts as they are, numbers with "." whatever the machine's settings,
    /// true, false, null, lists element by element, objects as commands. Past 41 nested evaluations it gives
    /// "ERROR: Nesting level exceeded." in place of the deeper output.
    QString ExecCommand(const Valor& obj);

    /// Evaluations in progress (0 between calls).
    std::int32_t nivel() const { return m_nivel; }

private:
    QString ejecutarObjeto(Dictionary& comando);
    QString ejecutarMiembro(const QString& nombre, const Valor& valor);
    Dictionary& variables();

    DialogosScript& m_dialogos;
    std::shared_ptr<Dictionary> m_variables;
    std::int32_t m_nivel = 0;
};

} // namespace kestrel
