#include "app/registro_ventana.h"

#include <QPlainTextEdit>

namespace kestrel {

QString RegistroVentana::agregar(const QString& entrada) {
    QString texto = entrada;
    if (texto.size() > limiteEntrada) {
        const qsizetype omitidos = texto.size() - limiteEntrada;
        texto.truncate(limiteEntrada);
        texto += QStringLiteral(" … (se omitieron %1 caracteres)").arg(omitidos);
    }
    texto.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    texto.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_tamano += texto.size() + 1;
    if (m_tamano > limite) {
        // Days of a service that cannot be reached log a line a second: keep the newest half.
        const QString recorte = QStringLiteral("(registro recortado)\n") + this->texto().right(limite / 2);
        m_caja.clear();
        m_cajaConTexto = false;
        m_pendiente = QStringList{recorte};
        m_tamano = recorte.size() + 1;
        m_tamano += texto.size() + 1;
    }
    m_pendiente << texto;
    if (m_caja.isVisible())
        volcar();
    return texto;
}

void RegistroVentana::volcar() {
    if (m_pendiente.isEmpty())
        return;
    m_caja.appendPlainText(m_pendiente.join(QLatin1Char('\n')));
    m_cajaConTexto = true;
    m_pendiente.clear();
    m_caja.moveCursor(QTextCursor::End);
}

void RegistroVentana::limpiar() {
    m_pendiente.clear();
    m_caja.clear();
    m_cajaConTexto = false;
    m_tamano = 0;
}

QString RegistroVentana::texto() const {
    const QString enCaja = m_caja.toPlainText();
    if (m_pendiente.isEmpty())
        return enCaja;
    const QString pendiente = m_pendiente.join(QLatin1Char('\n'));
    return m_cajaConTexto ? enCaja + QLatin1Char('\n') + pendiente : pendiente;
}

} // namespace kestrel
