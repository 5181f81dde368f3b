#pragma once

#include <QFrame>
#include <QImage>

namespace kestrel {

/// A picture box that keeps its drawing: painters draw into its persistent image, which is what the box
/// shows until it is cleared.
class CajaImagen : public QFrame {
    Q_OBJECT
public:
    explicit CajaImagen(QWidget* parent = nullptr);

    /// The persistent image, as large as the inside of the box.
    QImage& imagen() { return m_imagen; }
    const QImage& imagen() const { return m_imagen; }
    /// Fills the persistent image with the background colour.
    void limpiar();
    QColor colorFondo() const { return m_fondo; }

protected:
    void paintEvent(QPaintEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;

private:
    QImage m_imagen;
    QColor m_fondo;
};

} // namespace kestrel
