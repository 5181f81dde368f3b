#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace kestrel {

class Dialogos;

/// The lines of a text file plus one empty entry at the end; one empty entry when it cannot be read. A line
/// ends at CR LF, a lone CR or a lone LF (files typed here with an ordinary editor end their lines with LF).
QStringList leerArchivo(const QString& ruta);

/// Writes codigo as the file's only line, followed by CR LF, through a temporary file that replaces the old
/// one in one step: a crash mid-write leaves the previous code in place. false (with the reason in error)
/// when it could not be written.
bool escribirCodigo(const QString& ruta, const QString& codigo, QString* error = nullptr);

/// A code typed through "Cambiar codigo" is taken when it has at least 15 characters and everything from its
/// second character on reads as a number under the locale (blanks around, sign, separators, exponent).
bool codigoValido(const QString& codigo, const QLocale& locale = QLocale());

/// The branch code and technician keyword kept in "Acceso" in the application folder.
class AlmacenCodigo {
public:
    /// A stored code is accepted at start-up from this length on.
    static constexpr qsizetype largoMinimo = 15;

    AlmacenCodigo(QString carpetaAplicacion, Dialogos& dialogos);

    QString rutaAcceso() const;
    /// The stored code; while it is shorter than 15 characters, asks for one (cancelling asks again) and
    /// stores the answer.
    QString leerCodigoSucursal();
    /// Line 2 of the file as read; empty when there is none.
    QString leerModoTecnico();
    /// Asks for a new code until a valid one is given (see codigoValido); an empty or invalid answer is never
    /// written. Returns the code, already stored; empty when it could not be stored (the user was told).
    QString cambiarCodigo(const QLocale& locale = QLocale());

private:
    QString preguntarHastaLargo();
    bool guardar(const QString& codigo);

    QString m_carpeta;
    Dialogos& m_dialogos;
};

namespace textoscodigo {
inline const QString preguntaRegistro =
    QStringLiteral("No tiene registrado un codigo para esta sucursal, registrelo en el siguiente campo.\r\n"
                   "El codigo de sucursal tiene 15 digitos");
inline const QString tituloRegistro = QStringLiteral("Codigo de sucursal");
inline const QString preguntaCambio = QStringLiteral("Escribe codigo de la sucursal y presiona Aceptar para iniciar");
inline const QString tituloCambio = QStringLiteral("Sistema de impresion");
} // namespace textoscodigo

} // namespace kestrel
