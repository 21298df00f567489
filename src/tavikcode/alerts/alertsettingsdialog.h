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

    QCheckBox *newEntityBox, *entityPerBandBox, *recordBox, *openingBox, *watchBox, *silenceBox;
    QSpinBox *openingReceiversSpin, *openingKmSpin, *openingHoursSpin, *silenceMinutesSpin;
    QLineEdit *watchEdit;
    QCheckBox *notifyBox, *soundBox, *quietBox, *trayBox, *autostartBox;
    QTimeEdit *quietFromEdit, *quietToEdit;

signals:
    void chosen(const AlertSettings &settings);
};
