#include "print/qt/fuentes.h"

#include <QFontDatabase>
#include <QRegularExpression>

namespace kestrel {

namespace {

/// The size every document lays its columns out for; the pitch a font name promises holds at this size.
constexpr double tamanoBase = 10.0;

/// Families tried, in order, when a receipt font is missing. All ship with Debian; DejaVu Sans Mono is the
/// one the installer brings.
const char* const familiasFijas[] = {"DejaVu Sans Mono", "Liberation Mono", "Nimbus Mono PS", "FreeMono"};

QImage dispositivoTwips() {
    QImage imagen(1, 1, QImage::Format_RGB32);
    const int puntosPorMetro = static_cast<int>(std::lround(twipsPorPulgada / 0.0254));
    imagen.setDotsPerMeterX(puntosPorMetro);
    imagen.setDotsPerMeterY(puntosPorMetro);
    return imagen;
}

bool familiaInstalada(const QString& nombre) {
    if (nombre.isEmpty())
        return false;
    const QStringList familias = QFontDatabase::families();
    for (const QString& f : familias) {
        if (f.compare(nombre, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString elegirSustituta() {
    for (const char* f : familiasFijas) {
        if (familiaInstalada(QString::fromLatin1(f)))
            return QString::fromLatin1(f);
    }
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

/// Characters per inch named by a receipt font ("Courier 17 CPI" -> 17), or 0.
double pasoDelNombre(const QString& nombre) {
    static const QRegularExpression cpi(QStringLiteral("(\\d+(?:[.,]\\d+)?)\\s*CPI\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = cpi.match(nombre);
    if (!m.hasMatch())
        return 0;
    QString numero = m.captured(1);
    numero.replace(QLatin1Char(','), QLatin1Char('.'));
    return numero.toDouble();
}

QString clave(const EstiloFuente& e) {
    return e.nombre.toCaseFolded() + QLatin1Char('|') + QString::number(static_cast<double>(e.puntos), 'g', 9) +
           (e.negrita ? QLatin1Char('B') : QLatin1Char('-')) + (e.enfasis ? QLatin1Char('E') : QLatin1Char('-'));
}

} // namespace

CatalogoFuentes::CatalogoFuentes() : m_dispositivo(dispositivoTwips()), m_sustituta(elegirSustituta()) {
    QFont muestra(m_sustituta);
    muestra.setStyleHint(QFont::TypeWriter);
    muestra.setHintingPreference(QFont::PreferNoHinting);
    constexpr double puntosMuestra = 100.0;
    muestra.setPointSizeF(puntosMuestra);
    const QFontMetricsF m(muestra, &m_dispositivo);
    m_avancePorPunto = m.horizontalAdvance(QLatin1Char('0')) / puntosMuestra;
}

CatalogoFuentes::~CatalogoFuentes() = default;

QFont CatalogoFuentes::construir(const EstiloFuente& estilo) const {
    const QString nombre = estilo.nombre.trimmed();
    double puntos = estilo.puntos > 0 ? static_cast<double>(estilo.puntos) : tamanoBase;
    QFont fuente;
    if (familiaInstalada(nombre)) {
        fuente = QFont(nombre);
    } else if (const double paso = pasoDelNombre(nombre.isEmpty() ? QStringLiteral("14 CPI") : nombre);
               paso > 0 && m_avancePorPunto > 0) {
        // Scale so that one character advances 1440 / paso twips at the base size.
        fuente = QFont(m_sustituta);
        fuente.setStyleHint(QFont::TypeWriter);
        puntos *= (twipsPorPulgada / paso) / (m_avancePorPunto * tamanoBase);
    } else {
        fuente = QFont(nombre);
    }
    fuente.setHintingPreference(QFont::PreferNoHinting);
    fuente.setKerning(false);
    fuente.setPointSizeF(puntos);
    fuente.setBold(estilo.negrita);
    fuente.setUnderline(estilo.enfasis);
    return fuente;
}

const FuenteResuelta& CatalogoFuentes::resolver(const EstiloFuente& estilo) {
    const QString k = clave(estilo);
    auto it = m_cache.find(k);
    if (it != m_cache.end())
        return *it->second;
    auto r = std::make_unique<FuenteResuelta>();
    r->fuente = construir(estilo);
    r->metricas = std::make_unique<QFontMetricsF>(r->fuente, &m_dispositivo);
    r->anchoColumna = r->metricas->averageCharWidth();
    r->alto = r->metricas->height();
    r->ascenso = r->metricas->ascent();
    return *m_cache.emplace(k, std::move(r)).first->second;
}

} // namespace kestrel
