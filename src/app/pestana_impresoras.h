#pragma once

#include <QTimer>
#include <QWidget>

#include <memory>

class QTableWidget;

namespace kestrel {

class RegistroImpresoras;

/// The window's "Impresoras" tab: each printer in use with its kind, destination, state and since when, its
/// last document and today's printed, re-routed and failed documents.
class PestanaImpresoras : public QWidget {
    Q_OBJECT
public:
    PestanaImpresoras(std::shared_ptr<RegistroImpresoras> registro, QWidget* parent = nullptr);

    /// Draws the table again from the registry.
    void refrescar();

protected:
    void showEvent(QShowEvent* evento) override;

private:
    std::shared_ptr<RegistroImpresoras> m_registro;
    /// Many states heard at once (a poll of every queue) make one redraw.
    QTimer m_refresco;
    /// Today's counts start again at midnight even when nothing happens.
    QTimer m_minuto;
    bool m_anchosFijados = false;
    QTableWidget* tblImpresoras = nullptr;
};

} // namespace kestrel
