#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QString>

#include <map>
#include <memory>

namespace kestrel {

/// Twips per inch: the unit every document measures and places in.
inline constexpr double twipsPorPulgada = 1440.0;
/// Twips per millimetre.
inline constexpr double twipsPorMilimetro = twipsPorPulgada / 25.4;

/// What a document asks of the printer's font.
struct EstiloFuente {
    QString nombre;
    float puntos = 10.0F;
    bool negrita = false;
    bool enfasis = false;
};

/// A font ready to lay out and draw: the QFont and its metrics in twips.
struct FuenteResuelta {
    QFont fuente;
    /// Column unit: the font's average character width.
    double anchoColumna = 0;
    /// Line advance (ascent plus descent), as a text height measures.
    double alto = 0;
    double ascenso = 0;
    std::unique_ptr<QFontMetricsF> metricas;

    double anchoTexto(const QString& texto) const { return metricas->horizontalAdvance(texto); }
};

/// Turns the font names the documents use into fonts this machine can draw, and measures them in twips.
///
/// The receipt printers' fonts "Courier 14 CPI" and "Courier 17 CPI" are used when installed. Otherwise a
/// fixed-pitch family stands in, scaled so that at the documents' base size of 10 pt it sets exactly the
/// characters per inch the name promises: 40 invoice columns at 14 CPI take 72.6 mm, which the 80 mm roll
/// holds. Fonts are resolved once per style and kept.
class CatalogoFuentes {
public:
    CatalogoFuentes();
    ~CatalogoFuentes();
    CatalogoFuentes(const CatalogoFuentes&) = delete;
    CatalogoFuentes& operator=(const CatalogoFuentes&) = delete;

    const FuenteResuelta& resolver(const EstiloFuente& estilo);
    /// The family drawn in place of a missing "Courier NN CPI" font.
    QString familiaSustituta() const { return m_sustituta; }

private:
    QFont construir(const EstiloFuente& estilo) const;

    /// A 1440 dpi paint device: metrics taken against it come out in twips.
    QImage m_dispositivo;
    QString m_sustituta;
    /// Advance of one character of the substitute, per point of size, in twips.
    double m_avancePorPunto = 0;
    std::map<QString, std::unique_ptr<FuenteResuelta>> m_cache;
};

} // namespace kestrel
