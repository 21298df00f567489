#include "alertswindow.h"

#include "alertstore.h"
#include "reach/reachtext.h"
#include "widgets.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum AlertColumn { TimeColumn, RuleColumn, BandColumn, SubjectColumn, TextColumn, ColumnCount };

QTableWidgetItem *alertCell(const QString &text)
{
    // A table item shows its text as it stands: network text stays text.
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

AlertsWindow::AlertsWindow(AlertStore &store, QWidget *parent) : QWidget(parent, Qt::Window), m_store(store)
{
    setObjectName(QStringLiteral("AlertsWindow"));
    setWindowTitle(QStringLiteral("Alerts - TavikRepView"));
    resize(760, 360);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);

    alertTable = new QTableWidget(0, ColumnCount, this);
    alertTable->setObjectName(QStringLiteral("alertTable"));
    alertTable->setHorizontalHeaderLabels({QStringLiteral("Time (UTC)"), QStringLiteral("Rule"),
                                           QStringLiteral("Band"), QStringLiteral("Subject"), QStringLiteral("Text")});
    alertTable->verticalHeader()->hide();
    alertTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    alertTable->setSelectionMode(QAbstractItemView::SingleSelection);
    alertTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    alertTable->horizontalHeader()->setStretchLastSection(true);
    // Column widths from the newest rows, not from thousands.
    alertTable->horizontalHeader()->setResizeContentsPrecision(200);
    alertTable->setToolTip(QStringLiteral("Double-click an alert to see its band and time in the Reach window"));
    layout->addWidget(alertTable, 1);

    auto *bar = new QHBoxLayout;
    bar->addStretch(1);
    clearButton = new QPushButton(QStringLiteral("Clear"), this);
    clearButton->setObjectName(QStringLiteral("clearButton"));
    clearButton->setToolTip(QStringLiteral("Remove every alert from the list"));
    bar->addWidget(clearButton);
    layout->addLayout(bar);

    connect(clearButton, &QPushButton::clicked, this, &AlertsWindow::clearRequested);
    connect(alertTable, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        if (row >= 0 && row < m_targets.size())
            emit reachRequested(m_targets[row].first, m_targets[row].second);
    });
    refresh();
}

void AlertsWindow::refresh()
{
    const QList<Alert> alerts = m_store.alerts();
    alertTable->setUpdatesEnabled(false);
    alertTable->clearContents();
    alertTable->setRowCount(int(alerts.size()));
    m_targets.clear();
    for (int row = 0; row < alerts.size(); ++row) {
        const Alert &a = alerts[row];
        alertTable->setItem(row, TimeColumn, alertCell(utcText(a.time)));
        alertTable->setItem(row, RuleColumn, alertCell(ruleName(a.rule)));
        alertTable->setItem(row, BandColumn, alertCell(a.band));
        alertTable->setItem(row, SubjectColumn, alertCell(a.subject));
        QTableWidgetItem *text = alertCell(a.text);
        text->setToolTip(plainTip(a.text));
        alertTable->setItem(row, TextColumn, text);
        m_targets << std::pair{a.band, a.time};
    }
    alertTable->resizeColumnsToContents();
    alertTable->setUpdatesEnabled(true);
}
