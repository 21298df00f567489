#include "alertsettingsdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

QSpinBox *spin(QWidget *parent, const char *name, int low, int high, int value, const QString &suffix = {})
{
    auto *s = new QSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(low, high);
    s->setValue(value);
    s->setSuffix(suffix);
    return s;
}

QCheckBox *box(QWidget *parent, const char *name, const QString &text, bool checked)
{
    auto *b = new QCheckBox(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setChecked(checked);
    return b;
}

QTimeEdit *timeEdit(QWidget *parent, const char *name, QTime time)
{
    auto *t = new QTimeEdit(time, parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setDisplayFormat(QStringLiteral("HH:mm"));
    return t;
}

// A row of controls with words between them.
QHBoxLayout *row(std::initializer_list<QWidget *> widgets)
{
    auto *l = new QHBoxLayout;
    for (QWidget *w : widgets)
        l->addWidget(w);
    l->addStretch(1);
    return l;
}

} // namespace

AlertSettingsDialog::AlertSettingsDialog(const AlertSettings &s, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AlertSettingsDialog"));
    setWindowTitle(QStringLiteral("Settings - TavikRepView"));
    const auto words = [this](const QString &text) { return new QLabel(text, this); };

    auto *rules = new QGroupBox(QStringLiteral("Alert me when"), this);
    auto *r = new QVBoxLayout(rules);
    newEntityBox = box(this, "newEntityBox", QStringLiteral("a new DXCC entity hears me"), s.newEntity);
    entityPerBandBox = box(this, "entityPerBandBox", QStringLiteral("also the first time on each band"),
                           s.entityPerBand);
    recordBox = box(this, "recordBox", QStringLiteral("a receiver is farther than any before on its band"), s.record);
    openingBox = box(this, "openingBox", QStringLiteral("a band opens:"), s.opening);
    openingReceiversSpin = spin(this, "openingReceiversSpin", 1, 1000, s.openingReceivers);
    openingKmSpin = spin(this, "openingKmSpin", 1, 20000, s.openingKm, QStringLiteral(" km"));
    openingHoursSpin = spin(this, "openingHoursSpin", 1, 168, s.openingHours, QStringLiteral(" h"));
    watchBox = box(this, "watchBox", QStringLiteral("one of these stations hears me:"), s.watch);
    watchEdit = new QLineEdit(s.watchList.join(u' '), this);
    watchEdit->setObjectName(QStringLiteral("watchEdit"));
    watchEdit->setPlaceholderText(QStringLiteral("VK* ZL1ABC"));
    watchEdit->setToolTip(QStringLiteral("Callsigns, or prefixes with * (VK*), between blanks or commas"));
    silenceBox = box(this, "silenceBox", QStringLiteral("no report comes for"), s.silence);
    silenceMinutesSpin = spin(this, "silenceMinutesSpin", 5, 24 * 60, s.silenceMinutes, QStringLiteral(" min"));
    // The words around an input are not its name: each says what it sets.
    openingReceiversSpin->setAccessibleName(QStringLiteral("Receivers for an opening"));
    openingKmSpin->setAccessibleName(QStringLiteral("Distance for an opening"));
    openingHoursSpin->setAccessibleName(QStringLiteral("Hours without any before an opening"));
    watchEdit->setAccessibleName(QStringLiteral("Stations to watch"));
    silenceMinutesSpin->setAccessibleName(QStringLiteral("Minutes without a report before a silence alert"));
    r->addWidget(newEntityBox);
    auto *perBand = row({entityPerBandBox});
    perBand->insertSpacing(0, 24);
    r->addLayout(perBand);
    r->addWidget(recordBox);
    r->addLayout(row({openingBox, openingReceiversSpin, words(QStringLiteral("receivers beyond")), openingKmSpin,
                      words(QStringLiteral("after")), openingHoursSpin, words(QStringLiteral("without any"))}));
    auto *watch = row({watchBox});
    watch->insertWidget(1, watchEdit, 1);
    r->addLayout(watch);
    r->addLayout(row({silenceBox, silenceMinutesSpin, words(QStringLiteral("after reports before"))}));

    auto *telling = new QGroupBox(QStringLiteral("Telling"), this);
    auto *t = new QVBoxLayout(telling);
    notifyBox = box(this, "notifyBox", QStringLiteral("Desktop notifications (else the alert list alone)"), s.notify);
    soundBox = box(this, "soundBox", QStringLiteral("With a sound"), s.sound);
    quietBox = box(this, "quietBox", QStringLiteral("Quiet hours from"), s.quiet);
    quietFromEdit = timeEdit(this, "quietFromEdit", s.quietFrom);
    quietToEdit = timeEdit(this, "quietToEdit", s.quietTo);
    quietFromEdit->setAccessibleName(QStringLiteral("Quiet hours start"));
    quietToEdit->setAccessibleName(QStringLiteral("Quiet hours end"));
    t->addWidget(notifyBox);
    t->addWidget(soundBox);
    t->addLayout(row({quietBox, quietFromEdit, words(QStringLiteral("to")), quietToEdit,
                      words(QStringLiteral("(alerts still go to the list)"))}));

    trayBox = box(this, "trayBox", QStringLiteral("Icon in the system tray"), s.tray);
    autostartBox = box(this, "autostartBox", QStringLiteral("Start at login"), s.autostart);
    autostartBox->setToolTip(QStringLiteral("Starts the program in its data folder when you log in"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(rules);
    layout->addWidget(telling);
    layout->addWidget(trayBox);
    layout->addWidget(autostartBox);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        emit chosen(choice());
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(newEntityBox, &QCheckBox::toggled, entityPerBandBox, &QWidget::setEnabled);
    connect(notifyBox, &QCheckBox::toggled, soundBox, &QWidget::setEnabled);
    entityPerBandBox->setEnabled(s.newEntity);
    soundBox->setEnabled(s.notify);
}

AlertSettings AlertSettingsDialog::choice() const
{
    AlertSettings s;
    s.newEntity = newEntityBox->isChecked();
    s.entityPerBand = entityPerBandBox->isChecked();
    s.record = recordBox->isChecked();
    s.opening = openingBox->isChecked();
    s.openingReceivers = openingReceiversSpin->value();
    s.openingKm = openingKmSpin->value();
    s.openingHours = openingHoursSpin->value();
    s.watch = watchBox->isChecked();
    s.watchList = watchListFromText(watchEdit->text());
    s.silence = silenceBox->isChecked();
    s.silenceMinutes = silenceMinutesSpin->value();
    s.notify = notifyBox->isChecked();
    s.sound = soundBox->isChecked();
    s.quiet = quietBox->isChecked();
    s.quietFrom = quietFromEdit->time();
    s.quietTo = quietToEdit->time();
    s.tray = trayBox->isChecked();
    s.autostart = autostartBox->isChecked();
    return s;
}
