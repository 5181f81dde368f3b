#pragma once

#include "print/impresora.h"

namespace kestrel {

/// Stands for the current printer when there is none (the default printer is not installed and nothing has
/// been selected yet): every operation fails the way an unusable printer does, except discarding, which has
/// nothing to drop.
class ImpresoraAusente : public Impresora {
public:
    QString nombreDispositivo() const override { fallar(); }
    float tamanoFuente() const override { fallar(); }
    void fijarTamanoFuente(float) override { fallar(); }
    QString nombreFuente() const override { fallar(); }
    void fijarNombreFuente(const QString&) override { fallar(); }
    bool negrita() const override { fallar(); }
    void fijarNegrita(bool) override { fallar(); }
    void fijarEnfasis(bool) override { fallar(); }
    void imprimir(const Linea&, bool) override { fallar(); }
    double anchoTexto(const QString&) override { fallar(); }
    double altoTexto(const QString&) override { fallar(); }
    void dibujarImagen(const QString&, double, double, double, double) override { fallar(); }
    void sondear() override { fallar(); }
    void cerrarSondeo() override { fallar(); }
    void finDocumento() override { fallar(); }
    void descartarDocumento() override {}

private:
    [[noreturn]] static void fallar();
};

} // namespace kestrel
