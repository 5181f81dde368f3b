#pragma once

#include <QDir>
#include <QStringList>

#include <map>
#include <memory>
#include <vector>

#include "print/impresora.h"
#include "print/qt/fuentes.h"
#include "print/qt/impresora_qt.h"
#include "print/qt/pintor.h"

namespace kestrel {

/// PDF printers that stand in for the installed ones: every ended document becomes
/// <carpeta>/<impresora>-<n>.pdf, painted by the same code as paper on a page as wide as the roll and as
/// long as the ticket, beside its text view <impresora>-<n>.txt; a raw write becomes
/// <impresora>-cajon-<n>.bin. Numbers continue after the files already there, so a second run never
/// overwrites the first.
class SistemaVirtual : public SistemaImpresion {
public:
    /// The first name is the default printer. Blank and repeated names are left out.
    SistemaVirtual(const QStringList& nombres, const QString& carpetaSalida, FormatoRollo formato = {});
    ~SistemaVirtual() override;

    QStringList impresoras() override { return m_nombres; }
    QString predeterminada() override { return m_nombres.value(0); }
    void seleccionar(int indice) override;
    Impresora& actual() override;
    void escribirCrudo(const QString& impresora, const QByteArray& datos) override;
    QSize tamanoImagen(const QString& ruta) override;
    /// A PDF printer is always ready.
    void sondearEstados() override;

    /// Folder the documents are written to.
    QString carpeta() const { return m_carpeta.absolutePath(); }

private:
    int indiceDe(const QString& nombre) const;

    QStringList m_nombres;
    QDir m_carpeta;
    FormatoRollo m_formato;
    CatalogoFuentes m_fuentes;
    std::vector<std::unique_ptr<ImpresoraQt>> m_impresoras;
    std::unique_ptr<Impresora> m_ninguna;
    int m_actual = 0;
    /// Next drawer file number per printer.
    std::map<QString, int> m_siguienteCajon;
};

} // namespace kestrel
