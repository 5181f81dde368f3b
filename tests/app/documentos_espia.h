#pragma once

#include <QStringList>

#include <functional>

#include "json/volcado.h"
#include "print/documentos.h"

namespace kestrel::prueba {

/// Renderers that record what they were asked to print; alImprimir lets a test make one raise or yield.
class DocumentosEspia : public Documentos {
public:
    QStringList llamadas;
    std::function<void(const QString& tipo)> alImprimir;

    void fijarConfiguracion(const Valor& c) override { llamadas << QStringLiteral("config ") + volcarValor(c); }
    void imprimirComanda(Collection& c) override { registrar(QStringLiteral("comanda:%1").arg(c.count())); }
    void imprimirFactura(const Valor& d) override { registrar(QStringLiteral("factura ") + volcarValor(d)); }
    void imprimirAnulacion(Collection& c) override { registrar(QStringLiteral("anulacion:%1").arg(c.count())); }
    void abrirCajon() override { registrar(QStringLiteral("cajon")); }

private:
    void registrar(const QString& llamada) {
        llamadas << llamada;
        if (alImprimir)
            alImprimir(llamada.section(u':', 0, 0));
    }
};

} // namespace kestrel::prueba
