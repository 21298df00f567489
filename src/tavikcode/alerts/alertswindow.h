#pragma once

#include <QWidget>

class AlertStore;
class QPushButton;
class QTableWidget;

// Every alert, newest first: time, rule, band, subject and text. A double
// click opens the Reach window on the alert's band and period.
class AlertsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit AlertsWindow(AlertStore &store, QWidget *parent = nullptr);

    QTableWidget *alertTable;
    QPushButton *clearButton;

public slots:
    // Shows the store's alerts again.
    void refresh();

signals:
    void reachRequested(const QString &band, qint64 time);
    void clearRequested();

private:
    AlertStore &m_store;
    QList<std::pair<QString, qint64>> m_targets; // band and time of each row
};
