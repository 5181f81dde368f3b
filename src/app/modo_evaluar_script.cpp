#include "app/modos.h"

#include <cstdio>
#include <string>

#include "json/cjsonscript.h"
#include "json/dialogos_script.h"
#include "json/fallo.h"
#include "json/json.h"

namespace kestrel {

namespace {

/// The dialogs of a script on a terminal: message boxes go to standard error, input boxes ask there and read
/// one line from standard input. An empty line accepts the text already typed (the default), as pressing OK
/// does; the end of the input is a cancel.
class DialogosConsola : public DialogosScript {
public:
    void mensaje(const QString& texto, IconoDialogo icono, const QString& titulo) override {
        const char* tipo = icono == IconoDialogo::Informacion ? "aviso" : "alerta";
        escribir(stderr, QStringLiteral("[%1] %2: %3\n").arg(QString::fromLatin1(tipo), titulo, texto));
    }

    QString entrada(const QString& pregunta, const QString& titulo, const QString& porOmision) override {
        QString aviso = QStringLiteral("[entrada] %1: %2").arg(titulo, pregunta);
        if (!porOmision.isEmpty())
            aviso += QStringLiteral(" [%1]").arg(porOmision);
        escribir(stderr, aviso + QStringLiteral(" "));
        std::string linea;
        int c = 0;
        bool leido = false;
        while ((c = std::fgetc(stdin)) != EOF) {
            leido = true;
            if (c == '\n')
                break;
            linea.push_back(static_cast<char>(c));
        }
        if (!leido) {
            escribir(stderr, QStringLiteral("\n"));
            return {};
        }
        QString respuesta = QString::fromUtf8(linea);
        if (respuesta.endsWith(u'\r'))
            respuesta.chop(1);
        return respuesta.isEmpty() ? porOmision : respuesta;
    }
};

} // namespace

int modoEvaluarScript(const QStringList& argumentos) {
    const std::optional<QString> texto = leerArchivoDelModo(argumentos, "kestrel-agente --evaluar-script ARCHIVO");
    if (!texto)
        return 2;
    DialogosConsola dialogos;
    cJSONScript script(dialogos);
    try {
        const QString salida = script.Eval(*texto);
        if (!jsonErrors().isEmpty())
            return 1;
        escribir(stdout, salida + QLatin1Char('\n'));
        return 0;
    } catch (const FalloPlataforma& fallo) {
        escribir(stderr, QStringLiteral("Error %1: %2\n").arg(fallo.numero()).arg(fallo.descripcion()));
        return 1;
    }
}

} // namespace kestrel
