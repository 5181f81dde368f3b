#include <gtest/gtest.h>

#include "impresion_qt.h"
#include "json/cjsonscript.h"
#include "json/dialogos_script.h"
#include "json/fallo.h"
#include "json/json.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

using namespace kestrel;

namespace {

QString leer(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

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

// Every tests/data/scripts/<caso>.script: one or more scripts, split by lines "====", run in order on one
// evaluator, with the input boxes answered from <caso>.respuestas. <caso>.esperado holds the dialogs shown
// and what each script gave (its text, or the failure that reached the caller). KESTREL_REGENERAR=1 rewrites
// the expected files.
TEST(CasosScript, CadaScriptDaSuTextoYSusDialogos) {
    const QDir carpeta(qEnvironmentVariable("KESTREL_DATOS_PRUEBA") + QStringLiteral("/scripts"));
    const QStringList casos = carpeta.entryList({QStringLiteral("*.script")}, QDir::Files, QDir::Name);
    ASSERT_GE(casos.size(), 10) << carpeta.path().toStdString();
    const bool regenerar = qEnvironmentVariableIntValue("KESTREL_REGENERAR") == 1;
    static const QRegularExpression separador(QStringLiteral("\n====\n"));
    for (const QString& caso : casos) {
        SCOPED_TRACE(caso.toStdString());
        const QString base = carpeta.filePath(caso.chopped(QStringLiteral(".script").size()));
        QStringList respuestas = leer(base + QStringLiteral(".respuestas")).split(u'\n');
        respuestas.removeLast();
        DialogosGrabados dialogos(respuestas);
        cJSONScript evaluador(dialogos);
        for (const QString& script : leer(carpeta.filePath(caso)).split(separador)) {
            try {
                const QString salida = evaluador.Eval(script);
                dialogos.m_registro += QStringLiteral("salida: ") + salida + u'\n';
            } catch (const FalloPlataforma& f) {
                dialogos.m_registro += QStringLiteral("fallo %1: %2\n").arg(f.numero()).arg(f.descripcion());
            }
            EXPECT_EQ(evaluador.nivel(), 0);
        }
        if (regenerar) {
            QFile f(base + QStringLiteral(".esperado"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(dialogos.m_registro.toUtf8());
            continue;
        }
        EXPECT_EQ(dialogos.m_registro, leer(base + QStringLiteral(".esperado")));
    }
}

TEST(cJSONScript, LosNumerosLlevanPuntoEnCualquierConfiguracion) {
    DialogosGrabados dialogos({});
    cJSONScript evaluador(dialogos);
    for (const QLocale& configuracion :
         {QLocale(QLocale::Spanish, QLocale::Colombia), QLocale(QLocale::English, QLocale::UnitedStates),
          QLocale(QLocale::German, QLocale::Germany)}) {
        QLocale::setDefault(configuracion);
        EXPECT_EQ(evaluador.Eval(QStringLiteral("[[12.5, -1500.75, 100000]]")), QStringLiteral("12.5-1500.75100000"))
            << configuracion.name().toStdString();
    }
    QLocale::setDefault(QLocale::system());
}

TEST(cJSONScript, ExecCommandDeValoresSueltos) {
    DialogosGrabados dialogos({});
    cJSONScript evaluador(dialogos);
    EXPECT_EQ(evaluador.ExecCommand(Valor(true)), QStringLiteral("true"));
    EXPECT_EQ(evaluador.ExecCommand(Valor::nulo()), QStringLiteral("null"));
    EXPECT_EQ(evaluador.ExecCommand(Valor()), QString());
    EXPECT_EQ(evaluador.ExecCommand(Valor(QStringLiteral("texto"))), QStringLiteral("texto"));
    EXPECT_EQ(evaluador.ExecCommand(Valor(Decimal::desdeTextoInvariante(u"12.5").value())), QStringLiteral("12.5"));
}

TEST(cJSONScript, UnFalloNoDejaElNivelAlto) {
    // Without restoring the level, 41 failing scripts would leave the evaluator unable to run any other.
    DialogosGrabados dialogos({});
    cJSONScript evaluador(dialogos);
    const QString fallido = QStringLiteral("[[[[{\"switch\":{}}]]]]");
    for (int i = 0; i < 50; ++i)
        EXPECT_THROW(evaluador.Eval(fallido), FalloPlataforma);
    EXPECT_EQ(evaluador.nivel(), 0);
    EXPECT_EQ(evaluador.Eval(QStringLiteral("[[\"sigue\"]]")), QStringLiteral("sigue"));
}

} // namespace
