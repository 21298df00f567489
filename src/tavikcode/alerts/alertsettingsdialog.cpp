#include "alertsettingsdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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
    silenceMinutesSpin->setToolTip(QStringLiteral("While WSJT-X is linked, only minutes spent transmitting count"));
    unheardBox = box(this, "unheardBox", QStringLiteral("nobody hears"), s.unheard);
    unheardCountSpin = spin(this, "unheardCountSpin", 1, 1000, s.unheardCount);
    unheardMinutesSpin = spin(this, "unheardMinutesSpin", 1, 24 * 60, s.unheardMinutes, QStringLiteral(" min"));
    unheardBox->setToolTip(QStringLiteral("Needs the link to WSJT-X, which tells when you transmit"));
    // The words around an input are not its name: each says what it sets.
    openingReceiversSpin->setAccessibleName(QStringLiteral("Receivers for an opening"));
    openingKmSpin->setAccessibleName(QStringLiteral("Distance for an opening"));
    openingHoursSpin->setAccessibleName(QStringLiteral("Hours without any before an opening"));
    watchEdit->setAccessibleName(QStringLiteral("Stations to watch"));
    silenceMinutesSpin->setAccessibleName(QStringLiteral("Minutes without a report before a silence alert"));
    unheardCountSpin->setAccessibleName(QStringLiteral("Transmissions unheard"));
    unheardMinutesSpin->setAccessibleName(QStringLiteral("Within minutes"));
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
    r->addLayout(row({unheardBox, unheardCountSpin, words(QStringLiteral("transmissions on a band within")),
                      unheardMinutesSpin}));

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

    auto *wsjtx = new QGroupBox(QStringLiteral("WSJT-X"), this);
    auto *w = new QGridLayout(wsjtx);
    wsjtxListenBox = box(this, "wsjtxListenBox", QStringLiteral("Listen to WSJT-X's UDP messages"), s.wsjtxListen);
    wsjtxAddressEdit = new QLineEdit(s.wsjtxAddress, this);
    wsjtxAddressEdit->setObjectName(QStringLiteral("wsjtxAddressEdit"));
    wsjtxPortSpin = spin(this, "wsjtxPortSpin", 1, 65535, s.wsjtxPort);
    auto *addressLabel = words(QStringLiteral("&Address:"));
    addressLabel->setBuddy(wsjtxAddressEdit);
    auto *portLabel = words(QStringLiteral("&Port:"));
    portLabel->setBuddy(wsjtxPortSpin);
    wsjtxAddressEdit->setAccessibleName(QStringLiteral("WSJT-X address"));
    wsjtxPortSpin->setAccessibleName(QStringLiteral("WSJT-X port"));
    auto *explain = words(QStringLiteral("Set the same address and port as UDP Server in WSJT-X's Settings, Reporting. "
                                         "A multicast group such as 239.255.0.1 lets other programs listen too."));
    explain->setTextFormat(Qt::PlainText);
    explain->setWordWrap(true);
    w->addWidget(wsjtxListenBox, 0, 0, 1, 4);
    w->addWidget(addressLabel, 1, 0);
    w->addWidget(wsjtxAddressEdit, 1, 1);
    w->addWidget(portLabel, 1, 2);
    w->addWidget(wsjtxPortSpin, 1, 3);
    w->addWidget(explain, 2, 0, 1, 4);
    w->setColumnStretch(1, 1);

    trayBox = box(this, "trayBox", QStringLiteral("Icon in the system tray"), s.tray);
    autostartBox = box(this, "autostartBox", QStringLiteral("Start at login"), s.autostart);
    autostartBox->setToolTip(QStringLiteral("Starts the program in its data folder when you log in"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(rules);
    layout->addWidget(telling);
    layout->addWidget(wsjtx);
    layout->addWidget(trayBox);
    layout->addWidget(autostartBox);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        emit chosen(choice());
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // An address the listener cannot use is not taken.
    connect(wsjtxAddressEdit, &QLineEdit::textChanged, this, [buttons](const QString &text) {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(isWsjtxAddress(text));
    });
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
    s.unheard = unheardBox->isChecked();
    s.unheardCount = unheardCountSpin->value();
    s.unheardMinutes = unheardMinutesSpin->value();
    s.notify = notifyBox->isChecked();
    s.sound = soundBox->isChecked();
    s.quiet = quietBox->isChecked();
    s.quietFrom = quietFromEdit->time();
    s.quietTo = quietToEdit->time();
    s.tray = trayBox->isChecked();
    s.autostart = autostartBox->isChecked();
    s.wsjtxListen = wsjtxListenBox->isChecked();
    const QString address = wsjtxAddressEdit->text().trimmed();
    s.wsjtxAddress = isWsjtxAddress(address) ? address : alertsettings::kDefaultWsjtxAddress;
    s.wsjtxPort = quint16(wsjtxPortSpin->value());
    return s;
}

void AlertSettingsDialog::proposeWsjtxTarget(const QString &address, quint16 port)
{
    if (wsjtxListenBox->isChecked() || !isWsjtxAddress(address) || port == 0)
        return;
    wsjtxAddressEdit->setText(address.trimmed());
    wsjtxPortSpin->setValue(port);
}
