#include "app/opciones_agente.h"

#include <QDir>
#include <QFileInfo>

#include "print/seleccion.h"

namespace kestrel {

namespace {

// HOST, HOST:PUERTO, [IPv6] or [IPv6]:PUERTO; a bare IPv6 address has more than one colon.
QString leerServidor(const QString& valor, ConfiguracionEnlace& enlace) {
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
    enlace.servidor = host;
    if (valor.contains(QLatin1Char(':')) && !puerto.isNull()) {
        bool ok = false;
        const uint numero = puerto.toUInt(&ok);
        if (!ok || numero == 0 || numero > 65535)
            return QStringLiteral("puerto no valido en --servidor: %1").arg(valor);
        enlace.puerto = static_cast<quint16>(numero);
    }
    return {};
}

} // namespace

QString recorrerOpciones(const QStringList& argumentos, const QStringList& conValor, const QStringList& banderas,
                         const std::function<QString(const QString& nombre, const QString& valor)>& aplicar) {
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        const QString& palabra = argumentos.at(i);
        QString problema;
        if (!palabra.startsWith(QLatin1String("--"))) {
            problema = aplicar(QString(), palabra);
        } else if (const QString nombre = palabra.mid(2); banderas.contains(nombre)) {
            problema = aplicar(nombre, QString());
        } else if (!conValor.contains(nombre)) {
            problema = QStringLiteral("opcion desconocida: %1").arg(palabra);
        } else if (i + 1 >= argumentos.size()) {
            problema = QStringLiteral("falta el valor de %1").arg(palabra);
        } else {
            problema = aplicar(nombre, argumentos.at(++i));
        }
        if (!problema.isEmpty())
            return problema;
    }
    return {};
}

const QStringList& nombresOpcionesAgente() {
    static const QStringList nombres{QStringLiteral("servidor"),      QStringLiteral("carpeta"),
                                     QStringLiteral("codificacion"),  QStringLiteral("impresoras-virtuales"),
                                     QStringLiteral("salida"),        QStringLiteral("propina-cupon"),
                                     QStringLiteral("tls"),           QStringLiteral("ca"),
                                     QStringLiteral("certificado"),   QStringLiteral("clave"),
                                     QStringLiteral("dias-trabajos"), QStringLiteral("limite-impresion"),
                                     QStringLiteral("escpos")};
    static const QStringList todos = nombres + nombresOpcionesSalud();
    return todos;
}

QString aplicarOpcionAgente(OpcionesAgente& o, const QString& nombre, const QString& valor) {
    if (nombre == QLatin1String("servidor"))
        return leerServidor(valor, o.enlace);
    if (nombresOpcionesSalud().contains(nombre))
        return aplicarOpcionSalud(o.salud, nombre, valor);
    if (nombre == QLatin1String("carpeta")) {
        o.carpeta = valor;
        return valor.isEmpty() ? QStringLiteral("--carpeta vacia") : QString();
    }
    if (nombre == QLatin1String("codificacion")) {
        o.enlace.codificacion = valor;
        return codificacionValida(valor) ? QString() : QStringLiteral("codificacion desconocida: %1").arg(valor);
    }
    if (nombre == QLatin1String("impresoras-virtuales")) {
        o.impresion.impresorasVirtuales = listaNombres(valor);
        return o.impresion.impresorasVirtuales.isEmpty() ? QStringLiteral("--impresoras-virtuales sin nombres")
                                                         : QString();
    }
    if (nombre == QLatin1String("escpos")) {
        // Repeatable on the command line; a comma-separated list in a settings file. A printer named again
        // replaces the earlier one, so the command line wins over the file printer by printer.
        for (const QString& parte : valor.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            QString error;
            const std::optional<DestinoEscpos> d = leerDestinoEscpos(parte.trimmed(), &error);
            if (!d)
                return QStringLiteral("--escpos no valida: %1 (%2)").arg(parte.trimmed(), error);
            QList<DestinoEscpos>& lista = o.impresion.escpos;
            lista.removeIf([&](const DestinoEscpos& otro) { return mismaImpresora(otro.nombre, d->nombre); });
            lista.append(*d);
        }
        return o.impresion.escpos.isEmpty() ? QStringLiteral("--escpos sin impresoras") : QString();
    }
    if (nombre == QLatin1String("salida")) {
        o.impresion.salida = valor;
        return {};
    }
    if (nombre == QLatin1String("propina-cupon")) {
        const auto numero = Decimal::desdeTextoInvariante(valor);
        if (!numero || numero->negativo())
            return QStringLiteral("--propina-cupon no valida: %1").arg(valor);
        o.impresion.propinaCupon = *numero;
        return {};
    }
    if (nombre == QLatin1String("dias-trabajos") || nombre == QLatin1String("limite-impresion")) {
        bool ok = false;
        const int numero = valor.toInt(&ok);
        if (!ok || numero < 1)
            return QStringLiteral("--%1 no valido: %2 (un numero entero positivo)").arg(nombre, valor);
        (nombre == QLatin1String("dias-trabajos") ? o.impresion.diasTrabajos : o.impresion.limiteImpresion) = numero;
        return {};
    }
    if (nombre == QLatin1String("tls")) {
        // A flag on the command line (no value); yes or no in a settings file.
        const QString v = valor.trimmed().toLower();
        o.tls.activo = v.isEmpty() || v == QLatin1String("1") || v == QLatin1String("si") || v == QLatin1String("sí") ||
                       v == QLatin1String("true");
        if (!o.tls.activo && v != QLatin1String("0") && v != QLatin1String("no") && v != QLatin1String("false"))
            return QStringLiteral("tls no valida: %1 (si o no)").arg(valor);
        return {};
    }
    QString* archivo = nombre == QLatin1String("ca")            ? &o.tls.ca
                       : nombre == QLatin1String("certificado") ? &o.tls.certificado
                       : nombre == QLatin1String("clave")       ? &o.tls.clave
                                                                : nullptr;
    if (archivo) {
        *archivo = valor;
        return valor.isEmpty() ? QStringLiteral("--%1 vacio").arg(nombre) : QString();
    }
    return QStringLiteral("opcion desconocida: --%1").arg(nombre);
}

ResultadoOpciones analizarOpciones(const QStringList& argumentos, const OpcionesAgente& base) {
    ResultadoOpciones r;
    r.opciones = base;
    QStringList conValor = nombresOpcionesAgente();
    conValor.removeOne(QStringLiteral("tls"));
    r.error = recorrerOpciones(argumentos, conValor, {QStringLiteral("tls")},
                               [&r](const QString& nombre, const QString& valor) {
                                   if (nombre.isEmpty())
                                       return QStringLiteral("sobra el argumento: %1").arg(valor);
                                   return aplicarOpcionAgente(r.opciones, nombre, valor);
                               });
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
        // The branch code, the logo and the journal are written here: a folder the user cannot write is no use.
        if (!QFileInfo(carpeta).isWritable()) {
            if (error)
                *error = QStringLiteral("no se puede escribir en la carpeta %1").arg(carpeta);
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
