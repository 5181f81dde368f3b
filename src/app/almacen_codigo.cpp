#include "app/almacen_codigo.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cmath>

#include "app/dialogos.h"
#include "app/textos_agente.h"
#include "json/formato_numero.h"

namespace kestrel {

QStringList leerArchivo(const QString& ruta) {
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        return {QString()};
    const QByteArray bytes = archivo.readAll();
    if (archivo.error() != QFileDevice::NoError)
        return {QString()};
    QStringDecoder decodificador(QStringConverter::System);
    const QString texto = decodificador.decode(bytes);
    QStringList lineas;
    qsizetype inicio = 0;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lineas << texto.mid(inicio, i - inicio);
        if (c == QLatin1Char('\r') && i + 1 < texto.size() && texto.at(i + 1) == QLatin1Char('\n'))
            ++i;
        inicio = i + 1;
    }
    if (inicio < texto.size())
        lineas << texto.mid(inicio);
    lineas << QString();
    return lineas;
}

bool escribirCodigo(const QString& ruta, const QString& codigo, QString* error) {
    QSaveFile archivo(ruta);
    QStringEncoder codificador(QStringConverter::System);
    if (archivo.open(QIODevice::WriteOnly)) {
        archivo.write(codificador.encode(codigo + QLatin1String("\r\n")));
        if (archivo.commit())
            return true;
    }
    if (error)
        *error = archivo.errorString();
    return false;
}

bool codigoValido(const QString& codigo, const QLocale& locale) {
    if (codigo.size() < AlmacenCodigo::largoMinimo)
        return false;
    const QString resto = codigo.mid(1);
    if (formato::leerNumero(resto, locale).has_value())
        return true;
    // Numbers beyond an exact decimal's range are numbers all the same.
    bool ok = false;
    const double valor = locale.toDouble(resto.trimmed(), &ok);
    return ok && std::isfinite(valor);
}

AlmacenCodigo::AlmacenCodigo(QString carpetaAplicacion, Dialogos& dialogos)
    : m_carpeta(std::move(carpetaAplicacion)), m_dialogos(dialogos) {}

QString AlmacenCodigo::rutaAcceso() const {
    return QDir(m_carpeta).filePath(QStringLiteral("Acceso"));
}

QString AlmacenCodigo::leerCodigoSucursal() {
    const QString codigo = leerArchivo(rutaAcceso()).value(0);
    if (codigo.size() >= largoMinimo)
        return codigo;
    const QString nuevo = preguntarHastaLargo();
    guardar(nuevo);
    return nuevo;
}

QString AlmacenCodigo::leerModoTecnico() {
    return leerArchivo(rutaAcceso()).value(1);
}

QString AlmacenCodigo::preguntarHastaLargo() {
    QString codigo;
    while (codigo.size() < largoMinimo)
        codigo = m_dialogos.entrada(textoscodigo::preguntaRegistro, textoscodigo::tituloRegistro, QString());
    return codigo;
}

QString AlmacenCodigo::cambiarCodigo(const QLocale& locale) {
    QString codigo = m_dialogos.entrada(textoscodigo::preguntaCambio, textoscodigo::tituloCambio, QString());
    while (!codigoValido(codigo, locale))
        codigo = m_dialogos.entrada(textoscodigo::preguntaRegistro, textoscodigo::tituloRegistro, QString());
    return guardar(codigo) ? codigo : QString();
}

bool AlmacenCodigo::guardar(const QString& codigo) {
    QString error;
    if (escribirCodigo(rutaAcceso(), codigo, &error))
        return true;
    m_dialogos.mensaje(QStringLiteral("No se pudo guardar el codigo de sucursal en %1: %2").arg(rutaAcceso(), error),
                       IconoMensaje::Critico, textosagente::tituloAplicacion);
    return false;
}

} // namespace kestrel
