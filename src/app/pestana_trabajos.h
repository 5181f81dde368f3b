#pragma once

#include <QTimer>
#include <QWidget>

#include <memory>

class QComboBox;
class QPushButton;
class QTableWidget;

namespace kestrel {

class Avisos;
class DiarioSqlite;
class GrabadorTrabajos;

/// The window's "Trabajos" tab: the journal's latest entries, newest first, and the reprint of the selected one
/// on the printer it used or on another one.
class PestanaTrabajos : public QWidget {
    Q_OBJECT
public:
    /// How many entries the table shows: enough for a busy evening, few enough to redraw at every write.
    static constexpr int limiteFilas = 200;

    explicit PestanaTrabajos(Avisos& avisos, QWidget* parent = nullptr);
    ~PestanaTrabajos() override;

    /// The journal shown and the printing that reprints from it (owned by the documents); without them the
    /// tab stays empty.
    void fijarTrabajos(std::shared_ptr<DiarioSqlite> diario, GrabadorTrabajos* grabador);
    /// Reads the latest entries again.
    void refrescar();
    /// Fills the printer list; asked when the tab is shown, as a wedged spooler makes the question slow.
    void llenarImpresoras();
    /// "Reimprimir": the selected entry again, on the printer chosen in the list.
    void cmdReimprimir_Click();

protected:
    void showEvent(QShowEvent* evento) override;

private:
    Avisos& m_avisos;
    bool m_pendiente = false;
    /// The columns were fitted to the first entries; from then on their widths are the user's.
    bool m_anchosFijados = false;
    std::shared_ptr<DiarioSqlite> m_diario;
    GrabadorTrabajos* m_grabador = nullptr;
    // A document writes its entry twice (before and after sending): one redraw for both.
    QTimer m_refresco;
    QTableWidget* tblTrabajos = nullptr;
    QComboBox* cboImpresora = nullptr;
    QPushButton* cmdReimprimir = nullptr;
};

} // namespace kestrel
