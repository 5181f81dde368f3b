#include "app/pestana_impresoras.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "print/registro_impresoras.h"

namespace kestrel {

namespace {

QString hora(const QDateTime& momento, const QDate& hoy) {
    if (!momento.isValid())
        return {};
    return momento.toString(momento.date() == hoy ? QStringLiteral("HH:mm:ss") : QStringLiteral("yyyy-MM-dd HH:mm"));
}

} // namespace

PestanaImpresoras::PestanaImpresoras(std::shared_ptr<RegistroImpresoras> registro, QWidget* parent)
    : QWidget(parent), m_registro(std::move(registro)) {
    auto* capa = new QVBoxLayout(this);
    tblImpresoras = new QTableWidget(0, 9, this);
    tblImpresoras->setObjectName(QStringLiteral("tblImpresoras"));
    tblImpresoras->setHorizontalHeaderLabels(
        {QStringLiteral("Impresora"), QStringLiteral("Tipo"), QStringLiteral("Destino"), QStringLiteral("Estado"),
         QStringLiteral("Desde"), QStringLiteral("Último documento"), QStringLiteral("Impresos hoy"),
         QStringLiteral("Reenviados hoy"), QStringLiteral("Fallidos hoy")});
    tblImpresoras->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblImpresoras->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblImpresoras->verticalHeader()->setVisible(false);
    tblImpresoras->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblImpresoras->horizontalHeader()->setStretchLastSection(true);
    // One line per printer: a wrapped destination or document made each row three lines high in the narrow window.
    tblImpresoras->setWordWrap(false);
    capa->addWidget(tblImpresoras);

    m_refresco.setSingleShot(true);
    m_refresco.setInterval(200);
    connect(&m_refresco, &QTimer::timeout, this, &PestanaImpresoras::refrescar);
    connect(m_registro.get(), &RegistroImpresoras::cambiado, this, [this] {
        if (isVisible())
            m_refresco.start();
    });
    m_minuto.setInterval(60000);
    connect(&m_minuto, &QTimer::timeout, this, [this] {
        if (isVisible())
            refrescar();
    });
    m_minuto.start();
}

void PestanaImpresoras::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    refrescar();
}

void PestanaImpresoras::refrescar() {
    const QList<FichaImpresora> fichas = m_registro->fichas();
    const QDate hoy = m_registro->ahora().date();
    tblImpresoras->setRowCount(static_cast<int>(fichas.size()));
    for (int fila = 0; fila < fichas.size(); ++fila) {
        const FichaImpresora& f = fichas[fila];
        const QString ultimo = f.ultimoDocumento.isValid()
                                   ? hora(f.ultimoDocumento, hoy) + QLatin1Char(' ') + f.descripcionUltimo
                                   : QString();
        const QStringList celdas{f.nombre,
                                 textoClase(f.clase),
                                 f.destino,
                                 textoEstado(f.estado),
                                 hora(f.desde, hoy),
                                 ultimo,
                                 QString::number(f.impresos),
                                 QString::number(f.reenviados),
                                 QString::number(f.fallidos)};
        for (int c = 0; c < celdas.size(); ++c) {
            auto* celda = new QTableWidgetItem(celdas[c]);
            if (estadoMalo(f.estado))
                celda->setBackground(QColor(255, 224, 224));
            tblImpresoras->setItem(fila, c, celda);
        }
    }
    // Fitted once, as in "Trabajos": refitting at every refresh would undo a width the user set.
    if (!m_anchosFijados && !fichas.isEmpty()) {
        for (int columna = 0; columna + 1 < tblImpresoras->columnCount(); ++columna)
            tblImpresoras->resizeColumnToContents(columna);
        m_anchosFijados = true;
    }
}

} // namespace kestrel
