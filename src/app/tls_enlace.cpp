#include "app/tls_enlace.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslKey>

namespace kestrel {

namespace {

QString leer(const QString& ruta, QByteArray& contenido) {
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        return QStringLiteral("no se puede leer %1: %2").arg(ruta, archivo.errorString());
    contenido = archivo.readAll();
    return {};
}

QString certificados(const QString& ruta, QList<QSslCertificate>& lista) {
    QByteArray pem;
    if (QString problema = leer(ruta, pem); !problema.isEmpty())
        return problema;
    lista = QSslCertificate::fromData(pem, QSsl::Pem);
    if (lista.isEmpty())
        return QStringLiteral("%1 no tiene ningún certificado PEM").arg(ruta);
    return {};
}

} // namespace

QString comprobarArchivosTls(const OpcionesTls& opciones) {
    if (!opciones.activo) {
        if (!opciones.ca.isEmpty() || !opciones.certificado.isEmpty() || !opciones.clave.isEmpty())
            return QStringLiteral("--ca, --certificado y --clave solo valen con --tls");
        return {};
    }
    if (opciones.certificado.isEmpty() != opciones.clave.isEmpty())
        return QStringLiteral("--certificado y --clave van juntos");
    for (const QString& ruta : {opciones.ca, opciones.certificado, opciones.clave}) {
        QByteArray contenido;
        if (!ruta.isEmpty())
            if (QString problema = leer(ruta, contenido); !problema.isEmpty())
                return problema;
    }
    return {};
}

QString prepararTls(const OpcionesTls& opciones, QSslConfiguration& configuracion) {
    if (QString problema = comprobarArchivosTls(opciones); !problema.isEmpty() || !opciones.activo)
        return problema;
    configuracion = QSslConfiguration::defaultConfiguration();
    configuracion.setProtocol(QSsl::TlsV1_2OrLater);
    configuracion.setPeerVerifyMode(QSslSocket::VerifyPeer);
    // Session tickets are what tells the link that a TLS 1.3 service accepted the branch (see Enlace).
    configuracion.setSslOption(QSsl::SslOptionDisableSessionPersistence, false);
    if (!opciones.ca.isEmpty()) {
        QList<QSslCertificate> autoridades;
        if (QString problema = certificados(opciones.ca, autoridades); !problema.isEmpty())
            return problema;
        configuracion.setCaCertificates(autoridades);
    }
    if (!opciones.certificado.isEmpty()) {
        QList<QSslCertificate> propio;
        if (QString problema = certificados(opciones.certificado, propio); !problema.isEmpty())
            return problema;
        QByteArray pem;
        if (QString problema = leer(opciones.clave, pem); !problema.isEmpty())
            return problema;
        QSslKey clave;
        for (const QSsl::KeyAlgorithm algoritmo : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa}) {
            clave = QSslKey(pem, algoritmo, QSsl::Pem, QSsl::PrivateKey);
            if (!clave.isNull())
                break;
        }
        if (clave.isNull())
            return QStringLiteral("%1 no tiene una clave privada PEM sin contraseña").arg(opciones.clave);
        configuracion.setLocalCertificateChain(propio);
        configuracion.setPrivateKey(clave);
    }
    return {};
}

QString motivoCertificado(const QList<QSslError>& errores, const QString& servidor) {
    for (const QSslError& e : errores) {
        switch (e.error()) {
        case QSslError::HostNameMismatch:
            return QStringLiteral("El certificado del servidor no es para %1").arg(servidor);
        case QSslError::CertificateExpired:
            return QStringLiteral("El certificado del servidor está vencido");
        case QSslError::CertificateNotYetValid:
            return QStringLiteral("El certificado del servidor todavía no es válido");
        case QSslError::CertificateRevoked:
            return QStringLiteral("El certificado del servidor fue revocado");
        default:
            break;
        }
    }
    for (const QSslError& e : errores) {
        switch (e.error()) {
        case QSslError::UnableToGetLocalIssuerCertificate:
        case QSslError::UnableToGetIssuerCertificate:
        case QSslError::UnableToVerifyFirstCertificate:
        case QSslError::SelfSignedCertificate:
        case QSslError::SelfSignedCertificateInChain:
        case QSslError::CertificateUntrusted:
            return QStringLiteral("El certificado del servidor no es de confianza (emisor desconocido)");
        default:
            break;
        }
    }
    return QStringLiteral("El certificado del servidor no es válido (%1)")
        .arg(errores.isEmpty() ? QStringLiteral("sin detalle") : errores.front().errorString());
}

} // namespace kestrel
