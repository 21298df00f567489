#include "alertswindow.h"

#include "alertrules.h"
#include "base/utctext.h"
#include "parts/widgets.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
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

AlertsWindow::AlertsWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    installAccessibleInterfaces();
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
    // One line an alert; the whole text is in its tooltip.
    alertTable->setWordWrap(false);
    // Column widths from the newest rows, not from thousands.
    alertTable->horizontalHeader()->setResizeContentsPrecision(200);
    alertTable->setToolTip(QStringLiteral("Double-click an alert to see its band and time in the Reach window"));
    alertTable->setAccessibleName(QStringLiteral("Alerts"));
    alertTable->setAccessibleDescription(alertTable->toolTip());
    // Arrows move inside the list, Tab goes on to "Clear".
    alertTable->setTabKeyNavigation(false);
    layout->addWidget(alertTable, 1);

    auto *bar = new QHBoxLayout;
    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    statusLabel->setTextFormat(Qt::PlainText);
    bar->addWidget(statusLabel, 1);
    clearButton = new QPushButton(QStringLiteral("Clear"), this);
    clearButton->setObjectName(QStringLiteral("clearButton"));
    clearButton->setToolTip(QStringLiteral("Remove every alert from the list"));
    bar->addWidget(clearButton);
    layout->addLayout(bar);

    connect(clearButton, &QPushButton::clicked, this, [this] {
        showAlerts({});
        m_reading = true;
        emit clearRequested();
    });
    const auto openRow = [this](int row) {
        if (row >= 0 && row < m_targets.size())
            emit reachRequested(m_targets[row].first, m_targets[row].second);
    };
    connect(alertTable, &QTableWidget::cellDoubleClicked, this, openRow);
    // Enter on an alert does what a double click does.
    for (const QKeySequence &key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto *open = new QShortcut(key, alertTable, nullptr, nullptr, Qt::WidgetShortcut);
        connect(open, &QShortcut::activated, this, [this, openRow] { openRow(alertTable->currentRow()); });
    }
    statusLabel->setText(QStringLiteral("Reading the alert list..."));
}

void AlertsWindow::showAlerts(const QList<Alert> &alerts)
{
    m_reading = false;
    alertTable->setUpdatesEnabled(false);
    alertTable->clearContents();
    alertTable->setRowCount(0);
    m_targets.clear();
    const int rows = int(std::min(alerts.size(), kShown));
    alertTable->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        m_targets << std::pair<QString, qint64>();
        insertRow(row, alerts[row]);
    }
    alertTable->resizeColumnsToContents();
    alertTable->setUpdatesEnabled(true);
    showCount();
}

void AlertsWindow::insertRow(int row, const Alert &a)
{
    alertTable->setItem(row, TimeColumn, alertCell(utcText(a.time)));
    alertTable->setItem(row, RuleColumn, alertCell(ruleName(a.rule)));
    alertTable->setItem(row, BandColumn, alertCell(a.band));
    alertTable->setItem(row, SubjectColumn, alertCell(a.subject));
    QTableWidgetItem *text = alertCell(a.text);
    text->setToolTip(plainTip(a.text));
    alertTable->setItem(row, TextColumn, text);
    m_targets[row] = {a.band, a.time};
}

void AlertsWindow::showCount()
{
    const int n = alertTable->rowCount();
    statusLabel->setText(n == 1 ? QStringLiteral("1 alert") : QStringLiteral("%1 alerts").arg(n));
}
