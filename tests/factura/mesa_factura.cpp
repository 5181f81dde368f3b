#include "mesa_factura.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include "json/fallo.h"
#include "json/json.h"
#include "print/factura.h"

namespace kestrel::prueba {

namespace {

QStringList listaNombres(const Valor& v, const QString& omision) {
    const QString texto = v.esVacio() ? omision : v.comoTexto();
    QStringList nombres;
    for (const QString& n : texto.split(QLatin1Char(','), Qt::SkipEmptyParts))
        nombres << n.trimmed();
    return nombres;
}

Valor miembro(const Valor& objeto, const char* nombre) {
    return objeto.esObjeto() ? objeto.comoDictionary().valorSinInsertar(QString::fromLatin1(nombre)) : Valor();
}

} // namespace

QString carpetaFacturas() {
    const QByteArray datos = qgetenv("KESTREL_DATOS_PRUEBA");
    // Test discovery runs without the test environment, so the source folder is the fallback.
    return QDir(datos.isEmpty() ? QStringLiteral(KESTREL_DATOS_FUENTE) : QString::fromLocal8Bit(datos))
        .filePath(QStringLiteral("facturas"));
}

QSize medirImagen(const QString& ruta) {
    QImageReader lector(ruta);
    const QImage imagen = lector.read();
    if (imagen.isNull())
        throw FalloPlataforma(481, QStringLiteral("Imagen no válida"));
    const auto centesimas = [](int pixeles, int puntosPorMetro) {
        if (puntosPorMetro <= 0)
            puntosPorMetro = 3780;
        return static_cast<int>(static_cast<qint64>(pixeles) * 100000 / puntosPorMetro);
    };
    return {centesimas(imagen.width(), imagen.dotsPerMeterX()), centesimas(imagen.height(), imagen.dotsPerMeterY())};
}

void Transcripcion::mostrarGlobo(const QString& mensaje, int icono, const QString& titulo, int tiempoMs) {
    QString texto = mensaje;
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n"));
    lineas << QStringLiteral("~ globo %1 %2 \"%3\": %4").arg(nombreIconoGlobo(icono)).arg(tiempoMs).arg(titulo, texto);
}

void Transcripcion::registrar(const QString& entrada) {
    lineas << QStringLiteral("~ registro ") + entrada;
}

MesaFactura::MesaFactura(const Valor& prueba) {
    impresoras = listaNombres(miembro(prueba, "impresoras"), QStringLiteral("Facturas,Cocina,Bar"));
    const Valor predeterminada = miembro(prueba, "predeterminada");
    sistema = std::make_unique<SistemaVistaTexto>(impresoras, predeterminada.esVacio() ? impresoras.value(0)
                                                                                       : predeterminada.comoTexto());
    for (const QString& n : listaNombres(miembro(prueba, "averiadas"), QString()))
        sistema->fijarAveriada(n);
    sistema->fijarMedidorImagenes(medirImagen);
    sistema->fijarAlTerminar([this](const DocumentoVista& d) {
        transcripcion.lineas << QStringLiteral("=== %1 ===").arg(d.impresora);
        transcripcion.lineas << d.texto(true);
    });

    const Valor logo = miembro(prueba, "logo");
    if (!logo.esVacio()) {
        const QString origen = QDir(carpetaFacturas()).filePath(QStringLiteral("logos/") + logo.comoTexto());
        if (!QFile::copy(origen, QDir(carpeta.path()).filePath(QStringLiteral("logo.bmp"))))
            ADD_FAILURE() << "no se pudo copiar el logo " << origen.toStdString();
    }
    ctx = std::make_unique<ContextoImpresion>(*sistema, transcripcion, carpeta.path());
    ctx->propinaCupon = miembro(prueba, "propinaCupon").comoNumero();
    ctx->reloj = [] { return QDateTime(QDate(2024, 6, 1), QTime(13, 45, 10)); };
    ctx->cederEventos = [this] {
        auto* vista = dynamic_cast<ImpresoraVistaTexto*>(&ctx->impresora());
        transcripcion.lineas << QStringLiteral("~ cede eventos con %1 lineas abiertas")
                                    .arg(vista ? vista->documentoAbierto().size() : -1);
    };
}

QString MesaFactura::imprimirMensaje(const QString& mensaje) {
    Valor raiz = jsonParse(mensaje);
    if (!jsonErrors().isEmpty())
        return QStringLiteral("JSON no valido: ") + jsonErrors();
    Dictionary& sobre = raiz.comoDictionary();
    ctx->configuracion = sobre.item(QStringLiteral("config"));
    try {
        imprimirFactura(*ctx, sobre.item(QStringLiteral("dato")));
    } catch (const FalloPlataforma& f) {
        transcripcion.lineas << QStringLiteral("~ fallo %1: %2").arg(f.numero()).arg(f.descripcion());
    }
    anotarAbiertos();
    return transcripcion.lineas.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString conMarcasProveedor(QString transcripcion) {
    const auto marcar = [&transcripcion](const QString& valor, const QString& marca) {
        QStringList lineas = transcripcion.split(QLatin1Char('\n'));
        for (QString& l : lineas) {
            const qsizetype corchete = l.indexOf(QLatin1String("] "));
            if (l.startsWith(QLatin1Char('[')) && corchete > 0 && l.mid(corchete + 2) == valor)
                l = l.left(corchete + 2) + marca;
        }
        transcripcion = lineas.join(QLatin1Char('\n'));
    };
    marcar(QString::fromUtf8(KESTREL_PROVEEDOR_NIT), QStringLiteral("<KESTREL_PROVEEDOR_NIT>"));
    marcar(QString::fromUtf8(KESTREL_PROVEEDOR_WEB), QStringLiteral("<KESTREL_PROVEEDOR_WEB>"));
    return transcripcion;
}

void MesaFactura::anotarAbiertos() {
    for (const QString& n : impresoras) {
        if (!sistema->impresora(n)->documentoAbierto().isEmpty())
            transcripcion.lineas << QStringLiteral("~ abierto en ") + n;
    }
}

} // namespace kestrel::prueba
