#include "app/opciones_agente.h"

#include <QDir>
#include <QFileInfo>

#include "app/enlace.h"

namespace kestrel {

namespace {

// HOST, HOST:PUERTO, [IPv6] or [IPv6]:PUERTO; a bare IPv6 address has more than one colon.
QString leerServidor(const QString& valor, OpcionesAgente& opciones) {
    QString host = valor;
    QString puerto;
    if (valor.startsWith(QLatin1Char('['))) {
        const qsizetype cierre = valor.indexOf(QLatin1Char(']'));
        if (cierre < 0)
            return QStringLiteral("falta \"]\" en --servidor %1").arg(valor);
        host = valor.mid(1, cierre - 1);
        const QString resto = valor.mid(cierre + 1);
        if (!resto.isEmpty()) {
            if (!resto.startsWith(QLatin1Char(':')))
                return QStringLiteral("--servidor no valido: %1").arg(valor);
            puerto = resto.mid(1);
        }
    } else if (valor.count(QLatin1Char(':')) == 1) {
        const qsizetype dosPuntos = valor.indexOf(QLatin1Char(':'));
        host = valor.left(dosPuntos);
        puerto = valor.mid(dosPuntos + 1);
    }
    if (host.trimmed().isEmpty())
        return QStringLiteral("--servidor sin equipo: %1").arg(valor);
    opciones.servidor = host;
    if (valor.contains(QLatin1Char(':')) && !puerto.isNull()) {
        bool ok = false;
        const uint numero = puerto.toUInt(&ok);
        if (!ok || numero == 0 || numero > 65535)
            return QStringLiteral("puerto no valido en --servidor: %1").arg(valor);
        opciones.puerto = static_cast<quint16>(numero);
    }
    return {};
}

} // namespace

ResultadoOpciones analizarOpciones(const QStringList& argumentos) {
    ResultadoOpciones r;
    OpcionesAgente& o = r.opciones;
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        const QString& opcion = argumentos.at(i);
        const bool conocida = opcion == QLatin1String("--servidor") || opcion == QLatin1String("--carpeta") ||
                              opcion == QLatin1String("--codificacion") ||
                              opcion == QLatin1String("--impresoras-virtuales") ||
                              opcion == QLatin1String("--salida") || opcion == QLatin1String("--propina-cupon");
        if (!conocida) {
            r.error = QStringLiteral("opcion desconocida: %1").arg(opcion);
            return r;
        }
        if (i + 1 >= argumentos.size()) {
            r.error = QStringLiteral("falta el valor de %1").arg(opcion);
            return r;
        }
        const QString valor = argumentos.at(++i);
        if (opcion == QLatin1String("--servidor")) {
            r.error = leerServidor(valor, o);
        } else if (opcion == QLatin1String("--carpeta")) {
            if (valor.isEmpty())
                r.error = QStringLiteral("--carpeta vacia");
            o.carpeta = valor;
        } else if (opcion == QLatin1String("--codificacion")) {
            if (!codificacionValida(valor))
                r.error = QStringLiteral("codificacion desconocida: %1").arg(valor);
            o.codificacion = valor;
        } else if (opcion == QLatin1String("--impresoras-virtuales")) {
            QStringList nombres;
            for (const QString& n : valor.split(QLatin1Char(',')))
                if (!n.trimmed().isEmpty())
                    nombres << n.trimmed();
            if (nombres.isEmpty())
                r.error = QStringLiteral("--impresoras-virtuales sin nombres");
            o.impresion.impresorasVirtuales = nombres;
        } else if (opcion == QLatin1String("--salida")) {
            o.impresion.salida = valor;
        } else {
            const auto numero = Decimal::desdeTextoInvariante(valor);
            if (!numero || numero->negativo())
                r.error = QStringLiteral("--propina-cupon no valida: %1").arg(valor);
            else
                o.impresion.propinaCupon = *numero;
        }
        if (!r.error.isEmpty())
            return r;
    }
    return r;
}

QString resolverCarpetaAplicacion(const QString& pedida, const QString& carpetaEjecutable,
                                  const QString& carpetaUsuario, QString* error) {
    auto preparar = [error](const QString& carpeta) -> QString {
        if (!QDir().mkpath(carpeta)) {
            if (error)
                *error = QStringLiteral("no se puede crear la carpeta %1").arg(carpeta);
            return {};
        }
        return QFileInfo(carpeta).absoluteFilePath();
    };
    if (!pedida.isEmpty())
        return preparar(pedida);
    const QFileInfo ejecutable(carpetaEjecutable);
    if (ejecutable.isDir() && ejecutable.isWritable())
        return ejecutable.absoluteFilePath();
    return preparar(carpetaUsuario);
}

} // namespace kestrel
