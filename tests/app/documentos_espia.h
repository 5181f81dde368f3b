#pragma once

#include <QStringList>

#include <functional>

#include "json/valor.h"
#include "print/documentos.h"

namespace kestrel::prueba {

/// Renderers that record what they were asked to print; alImprimir lets a test make one raise or yield.
class DocumentosEspia : public Documentos {
public:
    QStringList llamadas;
    Valor configuracion;
    Valor dato;
    std::function<void(const QString& tipo)> alImprimir;

    void fijarConfiguracion(const Valor& c) override {
        configuracion = c;
        llamadas << QStringLiteral("config");
    }
    void imprimirComanda(Collection& comandas) override { registrar(QStringLiteral("comanda"), comandas.count()); }
    void imprimirFactura(const Valor& d) override {
        dato = d;
        registrar(QStringLiteral("factura"), -1);
    }
    void imprimirAnulacion(Collection& anulaciones) override {
        registrar(QStringLiteral("anulacion"), anulaciones.count());
    }
    void abrirCajon() override { registrar(QStringLiteral("cajon"), -1); }

private:
    void registrar(const QString& tipo, int elementos) {
        llamadas << (elementos >= 0 ? tipo + QLatin1Char(':') + QString::number(elementos) : tipo);
        if (alImprimir)
            alImprimir(tipo);
    }
};

} // namespace kestrel::prueba
