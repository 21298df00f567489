#pragma once

#include "archive/alertstate.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

// The alert list, newest first: time, rule, band, subject and text. It
// reads nothing itself: the archive's shared reader reads the list, again
// after each batch of alerts told (showAlerts). A double
// click opens the Reach window on the alert's band and period.
class AlertsWindow : public QWidget
{
    Q_OBJECT

public:
    // The newest this many are shown.
    static constexpr qsizetype kShown = 10000;

    explicit AlertsWindow(QWidget *parent = nullptr);

    QTableWidget *alertTable;
    QPushButton *clearButton;
    QLabel *statusLabel;

    // Whether the list asked for has yet to come.
    bool isReading() const { return m_reading; }

public slots:
    // The list as the archive holds it, newest first.
    void showAlerts(const QList<Alert> &alerts);

signals:
    void reachRequested(const QString &band, qint64 time);
    // The list is to be emptied, and read again.
    void clearRequested();

private:
    void insertRow(int row, const Alert &alert);
    void showCount();

    bool m_reading = true;
    QList<std::pair<QString, qint64>> m_targets; // band and time of each row
};
