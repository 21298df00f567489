#pragma once

#include "alertsettings.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QSpinBox;
class QTimeEdit;

// The alert rules and their parameters, how alerts are told, the tray icon
// and the start at login. Shown with show(): nothing waits on it. OK hands
// the choice over through chosen().
class AlertSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    AlertSettingsDialog(const AlertSettings &settings, QWidget *parent = nullptr);

    // What the controls say now.
    AlertSettings choice() const;

    // WSJT-X's own UDP server, from its settings file: shown in the
    // address and port inputs while listening is off. The window calls it
    // while the listen setting was never stored (wsjtxListenEverSet).
    void proposeWsjtxTarget(const QString &address, quint16 port);

    QCheckBox *newEntityBox, *entityPerBandBox, *recordBox, *openingBox, *watchBox, *silenceBox, *unheardBox;
    QSpinBox *openingReceiversSpin, *openingKmSpin, *openingHoursSpin, *silenceMinutesSpin, *unheardCountSpin,
        *unheardMinutesSpin;
    QLineEdit *watchEdit;
    QCheckBox *notifyBox, *soundBox, *quietBox, *trayBox, *autostartBox;
    QTimeEdit *quietFromEdit, *quietToEdit;
    QCheckBox *wsjtxListenBox;
    QLineEdit *wsjtxAddressEdit;
    QSpinBox *wsjtxPortSpin;

signals:
    void chosen(const AlertSettings &settings);
};
