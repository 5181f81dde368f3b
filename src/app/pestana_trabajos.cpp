#include "app/pestana_trabajos.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include "print/avisos.h"
#include "print/grabador.h"
#include "trabajos/diario_sqlite.h"

namespace kestrel {

namespace {

constexpr int columnaEstado = 3;

const QString tituloReimpresion = QStringLiteral("Reimprimir");

bool esFalla(EstadoTrabajo estado) {
    return estado == EstadoTrabajo::Fallido || estado == EstadoTrabajo::Desconocido ||
           estado == EstadoTrabajo::Reenviado;
}

QString documentoDe(const EntradaTrabajo& e) {
    if (e.tipo == TipoTrabajo::Reimpresion && e.original > 0)
        return QStringLiteral("reimpresion de %1").arg(e.original);
    return nombreTipoTrabajo(e.tipo);
}

QString impresoraDe(const EntradaTrabajo& e) {
    if (e.usada.isEmpty() || e.usada == e.pedida)
        return e.pedida.isEmpty() ? e.usada : e.pedida;
    return e.pedida + QStringLiteral(" → ") + e.usada;
}

} // namespace

PestanaTrabajos::PestanaTrabajos(Avisos& avisos, QWidget* parent) : QWidget(parent), m_avisos(avisos) {
    auto* capa = new QVBoxLayout(this);
    tblTrabajos = new QTableWidget(0, 5, this);
    tblTrabajos->setObjectName(QStringLiteral("tblTrabajos"));
    tblTrabajos->setHorizontalHeaderLabels({QStringLiteral("Hora"), QStringLiteral("Documento"),
                                            QStringLiteral("Impresora"), QStringLiteral("Estado"),
                                            QStringLiteral("Motivo")});
    tblTrabajos->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblTrabajos->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblTrabajos->setSelectionMode(QAbstractItemView::SingleSelection);
    tblTrabajos->horizontalHeader()->setStretchLastSection(true);
    // Rows of one line: sizing each to its contents would measure the whole table at every new label.
    tblTrabajos->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    capa->addWidget(tblTrabajos);

    auto* fila = new QHBoxLayout();
    cboImpresora = new QComboBox(this);
    cboImpresora->setObjectName(QStringLiteral("cboImpresora"));
    cboImpresora->addItem(QStringLiteral("La impresora del trabajo"));
    cmdReimprimir = new QPushButton(tituloReimpresion, this);
    cmdReimprimir->setObjectName(QStringLiteral("cmdReimprimir"));
    cmdReimprimir->setEnabled(false);
    fila->addStretch();
    fila->addWidget(new QLabel(QStringLiteral("En"), this));
    fila->addWidget(cboImpresora);
    fila->addWidget(cmdReimprimir);
    capa->addLayout(fila);

    m_refresco.setSingleShot(true);
    m_refresco.setInterval(0);
    connect(&m_refresco, &QTimer::timeout, this, &PestanaTrabajos::refrescar);
    connect(cmdReimprimir, &QPushButton::clicked, this, &PestanaTrabajos::cmdReimprimir_Click);
    connect(tblTrabajos, &QTableWidget::itemSelectionChanged, this,
            [this] { cmdReimprimir->setEnabled(m_grabador && !tblTrabajos->selectedItems().isEmpty()); });
}

PestanaTrabajos::~PestanaTrabajos() {
    if (m_diario)
        m_diario->fijarAlCambiar({});
}

void PestanaTrabajos::fijarTrabajos(std::shared_ptr<DiarioSqlite> diario, GrabadorTrabajos* grabador) {
    m_diario = std::move(diario);
    m_grabador = grabador;
    if (!m_diario)
        return;
    // A write may come from the spooler's thread once it follows a job: the redraw is always queued to ours.
    m_diario->fijarAlCambiar([this] {
        QMetaObject::invokeMethod(
            this, [this] { m_refresco.start(); }, Qt::QueuedConnection);
    });
    refrescar();
}

void PestanaTrabajos::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    if (m_pendiente)
        refrescar();
}

void PestanaTrabajos::refrescar() {
    if (!m_diario)
        return;
    // The window is hidden nearly all day: a table nobody sees is redrawn when it is shown, never on the way
    // of a document and its reply.
    m_pendiente = !isVisible();
    if (m_pendiente)
        return;
    const QList<QTableWidgetItem*> elegidos = tblTrabajos->selectedItems();
    const qint64 elegido = elegidos.isEmpty() ? 0 : elegidos.first()->data(Qt::UserRole).toLongLong();
    const QList<EntradaTrabajo> entradas = m_diario->entradas(limiteFilas);
    const QIcon iconoFalla = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    const QColor fondoFalla(255, 222, 222);
    tblTrabajos->setRowCount(int(entradas.size()));
    QStringList numeros;
    int filaElegida = -1;
    for (int fila = 0; fila < entradas.size(); ++fila) {
        // Newest first: the journal answers oldest first.
        const EntradaTrabajo& e = entradas.at(entradas.size() - 1 - fila);
        numeros << QString::number(e.numero);
        const QStringList textos{e.hora.toString(QStringLiteral("dd/MM HH:mm:ss")), documentoDe(e), impresoraDe(e),
                                 nombreEstadoTrabajo(e.estado), e.motivo};
        for (int columna = 0; columna < textos.size(); ++columna) {
            auto* celda = new QTableWidgetItem(textos.at(columna));
            celda->setData(Qt::UserRole, e.numero);
            if (esFalla(e.estado))
                celda->setBackground(fondoFalla);
            tblTrabajos->setItem(fila, columna, celda);
        }
        if (esFalla(e.estado))
            tblTrabajos->item(fila, columnaEstado)->setIcon(iconoFalla);
        if (e.numero == elegido)
            filaElegida = fila;
    }
    tblTrabajos->setVerticalHeaderLabels(numeros);
    if (filaElegida >= 0)
        tblTrabajos->selectRow(filaElegida);
    // Fitted once: refitting at every refresh would undo a width the user set, and fitting the last column
    // would stop it from stretching to the table's edge.
    if (!m_anchosFijados && !entradas.isEmpty()) {
        for (int columna = 0; columna + 1 < tblTrabajos->columnCount(); ++columna)
            tblTrabajos->resizeColumnToContents(columna);
        m_anchosFijados = true;
    }
}

void PestanaTrabajos::llenarImpresoras() {
    if (!m_grabador)
        return;
    const QString actual = cboImpresora->currentData().toString();
    while (cboImpresora->count() > 1)
        cboImpresora->removeItem(1);
    for (const QString& nombre : m_grabador->impresoras())
        cboImpresora->addItem(nombre, nombre);
    cboImpresora->setCurrentIndex(std::max(0, cboImpresora->findData(actual)));
}

void PestanaTrabajos::cmdReimprimir_Click() {
    const QList<QTableWidgetItem*> elegidos = tblTrabajos->selectedItems();
    if (!m_diario || !m_grabador || elegidos.isEmpty())
        return;
    const qint64 numero = elegidos.first()->data(Qt::UserRole).toLongLong();
    // An invoice lets the window answer while it prints: a reprint then would cut into its entry.
    if (m_grabador->documentoAbierto()) {
        m_avisos.mostrarGlobo(QStringLiteral("Hay un documento imprimiéndose; reimprima cuando termine"),
                              iconoglobo::advertencia, tituloReimpresion, tiempoGlobo);
        return;
    }
    const std::optional<EntradaTrabajo> entrada = m_diario->entrada(numero);
    if (!entrada) {
        m_avisos.registrar(QStringLiteral("No existe el trabajo %1").arg(numero));
        return;
    }
    QString impresora = cboImpresora->currentData().toString();
    if (impresora.isEmpty())
        impresora = entrada->usada.isEmpty() ? entrada->pedida : entrada->usada;
    // The spooler's calls have their own time limit; until then the button says it is busy.
    cmdReimprimir->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool hecho = m_grabador->reimprimir(entrada->documento, impresora, numero, &error);
    QApplication::restoreOverrideCursor();
    cmdReimprimir->setEnabled(true);
    if (hecho) {
        m_avisos.registrar(QStringLiteral("Trabajo %1 reimpreso en %2").arg(numero).arg(impresora));
        return;
    }
    const QString texto = QStringLiteral("No se pudo reimprimir el trabajo %1: %2").arg(numero).arg(error);
    m_avisos.registrar(texto);
    m_avisos.mostrarGlobo(texto, iconoglobo::error, tituloReimpresion, tiempoGlobo);
}

} // namespace kestrel
