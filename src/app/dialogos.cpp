#include "app/dialogos.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStringList>
#include <QTimer>

#include <algorithm>

namespace kestrel {

QString filtroQt(const QString& filtro) {
    const QStringList partes = filtro.split(QLatin1Char('|'));
    QStringList entradas;
    static const QRegularExpression separadores(QStringLiteral("[,;]"));
    for (qsizetype i = 0; i + 1 < partes.size(); i += 2) {
        QStringList patrones = partes.at(i + 1).split(separadores, Qt::SkipEmptyParts);
        for (QString& p : patrones)
            p = p.trimmed();
        entradas << partes.at(i) + QLatin1String(" (") + patrones.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return entradas.join(QLatin1String(";;"));
}

void DialogosQt::mensaje(const QString& texto, IconoMensaje icono, const QString& titulo) {
    mostrar(texto, icono, titulo, 0);
}

void DialogosQt::aviso(const QString& texto, IconoMensaje icono, const QString& titulo, int plazoMs) {
    mostrar(texto, icono, titulo, std::max(1, plazoMs));
}

void DialogosQt::mostrar(const QString& texto, IconoMensaje icono, const QString& titulo, int plazoMs) {
    QMessageBox::Icon qicono = QMessageBox::Information;
    if (icono == IconoMensaje::Exclamacion)
        qicono = QMessageBox::Warning;
    else if (icono == IconoMensaje::Critico)
        qicono = QMessageBox::Critical;
    QMessageBox caja(qicono, titulo, texto, QMessageBox::Ok, m_padre);
    if (plazoMs > 0)
        QTimer::singleShot(plazoMs, &caja, [&caja] { caja.done(QMessageBox::Ok); });
    caja.exec();
}

QString DialogosQt::entrada(const QString& pregunta, const QString& titulo, const QString& porOmision) {
    bool aceptado = false;
    const QString respuesta =
        QInputDialog::getText(m_padre, titulo, pregunta, QLineEdit::Normal, porOmision, &aceptado);
    return aceptado ? respuesta : QString();
}

QString DialogosQt::abrirArchivo(const QString& filtro) {
    return QFileDialog::getOpenFileName(m_padre, QString(), QString(), filtroQt(filtro));
}

} // namespace kestrel
