#include <gtest/gtest.h>

#include "dorados.h"
#include "impresion_qt.h"
#include "json/cjsonscript.h"
#include "json/dialogos_script.h"
#include "json/fallo.h"
#include "json/json.h"

#include <QRegularExpression>

using namespace kestrel;

namespace {

/// Answers the input boxes from a list (cancelling once it runs out) and writes down every dialog shown.
class DialogosGrabados : public DialogosScript {
public:
    explicit DialogosGrabados(QStringList respuestas) : m_respuestas(std::move(respuestas)) {}

    void mensaje(const QString& texto, IconoDialogo icono, const QString& titulo) override {
        const char* nombre = icono == IconoDialogo::Informacion   ? "informacion"
                             : icono == IconoDialogo::Exclamacion ? "exclamacion"
                                                                  : "critico";
        m_registro += QStringLiteral("mensaje (%1) [%2] %3\n").arg(QString::fromLatin1(nombre), titulo, texto);
    }

    QString entrada(const QString& pregunta, const QString& titulo, const QString& porOmision) override {
        const bool cancelada = m_respuestas.isEmpty();
        const QString respuesta = cancelada ? QString() : m_respuestas.takeFirst();
        m_registro += QStringLiteral("entrada [%1] %2 | %3 -> %4\n")
                          .arg(titulo, pregunta, porOmision, cancelada ? QStringLiteral("(cancelada)") : respuesta);
        return respuesta;
    }

    QString m_registro;

private:
    QStringList m_respuestas;
};

// Every tests/data/scripts/<case>.script: one or more scripts, split by lines "====", run in order on one
// evaluator, with the input boxes answered from <case>.respuestas. <case>.esperado holds the dialogs shown
// and what each script gave (its text, or the failure that reached the caller).
class CasoScript : public testing::TestWithParam<std::string> {};

TEST_P(CasoScript, DaSuTextoYSusDialogos) {
    const QString caso = prueba::carpetaDatos(QString::fromStdString(GetParam()));
    QStringList respuestas = prueba::leerTexto(caso + ".respuestas").split(u'\n');
    respuestas.removeLast();
    DialogosGrabados dialogos(respuestas);
    cJSONScript evaluador(dialogos);
    static const QRegularExpression separador(QStringLiteral("\n====\n"));
    for (const QString& script : prueba::leerTexto(caso + ".script").split(separador)) {
        try {
            dialogos.m_registro += QStringLiteral("salida: ") + evaluador.Eval(script) + u'\n';
        } catch (const FalloPlataforma& f) {
            dialogos.m_registro += QStringLiteral("fallo %1: %2\n").arg(f.numero()).arg(f.descripcion());
        }
        // A failure that left the level raised would, some forty failures later, stop every other script.
        EXPECT_EQ(evaluador.nivel(), 0);
    }
    prueba::compararConDorado(caso + ".esperado", dialogos.m_registro);
}

INSTANTIATE_TEST_SUITE_P(Scripts, CasoScript,
                         testing::ValuesIn(prueba::casosDe(QStringLiteral("scripts"), QStringLiteral("script"))),
                         prueba::nombreDeCaso);

} // namespace
