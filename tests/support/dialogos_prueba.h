#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

#include "app/dialogos.h"

namespace kestrel::prueba {

/// Dialogs answered by the test: input boxes take the queued answers in order (empty means cancelled), the
/// file dialog the queued file names, and every box shown is recorded.
class DialogosPrueba : public Dialogos {
public:
    struct Mostrado {
        QString tipo; ///< "mensaje", "entrada" or "archivo"
        QString texto;
        QString titulo;
        IconoMensaje icono = IconoMensaje::Informacion;
    };

    std::deque<QString> respuestas;
    std::deque<QString> archivos;
    QList<Mostrado> mostrados;
    /// Set when an input box was shown with no answer left (the test did not expect that many questions).
    bool agotado = false;
    /// Called as each input box opens, before it is answered.
    std::function<void(const QString& pregunta)> alPreguntar;

    void mensaje(const QString& texto, IconoMensaje icono, const QString& titulo) override {
        mostrados.append({QStringLiteral("mensaje"), texto, titulo, icono});
    }
    QString entrada(const QString& pregunta, const QString& titulo, const QString&) override {
        mostrados.append({QStringLiteral("entrada"), pregunta, titulo, IconoMensaje::Informacion});
        if (alPreguntar)
            alPreguntar(pregunta);
        agotado = agotado || respuestas.empty();
        return tomar(respuestas, QStringLiteral("999999999999999"));
    }
    QString abrirArchivo(const QString& filtro) override {
        mostrados.append({QStringLiteral("archivo"), filtro, QString(), IconoMensaje::Informacion});
        return tomar(archivos, QString());
    }

    /// The texts of the boxes of one kind shown, in order.
    QStringList textos(QLatin1StringView tipo) const {
        QStringList r;
        for (const Mostrado& m : mostrados)
            if (m.tipo == tipo)
                r << m.texto;
        return r;
    }
    QStringList textosMensajes() const { return textos(QLatin1StringView("mensaje")); }
    qsizetype preguntas() const { return textos(QLatin1StringView("entrada")).size(); }

private:
    static QString tomar(std::deque<QString>& cola, const QString& siNoHay) {
        if (cola.empty())
            return siNoHay;
        QString r = cola.front();
        cola.pop_front();
        return r;
    }
};

} // namespace kestrel::prueba
