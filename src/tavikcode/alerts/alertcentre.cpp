#include "alertcentre.h"

#include "base/clock.h"
#include "platform/desktopnotifier.h"

#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

#include <algorithm>

namespace {

constexpr int kToolTipIntervalMs = 60 * 1000;
constexpr int kBalloonMs = 15 * 1000;
constexpr qsizetype kShownKept = 100;

QIcon programIcon()
{
    // The installed icon, else the one built in.
    return QIcon::fromTheme(QStringLiteral("TavikRepView"), QIcon(QStringLiteral(":/alerts/TavikRepView.png")));
}

} // namespace

AlertCentre::AlertCentre(AlertSettings settings, Environment environment, QObject *parent)
    : QObject(parent), m_settings(std::move(settings)), m_environment(std::move(environment))
{
    m_wake.setSingleShot(true);
    connect(&m_wake, &QTimer::timeout, this, &AlertCentre::wake);
    m_toolTipTimer.setInterval(kToolTipIntervalMs);
    connect(&m_toolTipTimer, &QTimer::timeout, this, &AlertCentre::refreshToolTip);
    connect(&m_monitor, &AlertMonitor::judged, this, &AlertCentre::passJudged);
    showTray(m_settings.tray);
}

AlertCentre::~AlertCentre()
{
    delete m_tray;
    delete m_trayMenu;
}

void AlertCentre::applySettings(const AlertSettings &settings)
{
    m_settings = settings;
    showTray(m_settings.tray);
    // Notifications switched off or quiet hours changed: plan what waits anew.
    wake();
}

std::shared_ptr<AlertJudge> AlertCentre::judge(const std::optional<GeoPosition> &home, bool catchUp)
{
    return m_monitor.judge(m_settings, home, catchUp);
}

void AlertCentre::passJudged(const PassOutcome &outcome)
{
    m_lastReports = outcome.reports;
    m_recent.add(outcome.heard, outcome.now);
    refreshToolTip();
    if (outcome.alerts.isEmpty())
        return;
    emit alertsAdded(outcome.alerts);
    deliver(planNotices(m_settings, m_notices, outcome.alerts, outcome.backlog, Clock::nowLocal()));
}

void AlertCentre::wake()
{
    deliver(planNotices(m_settings, m_notices, {}, false, Clock::nowLocal()));
}

void AlertCentre::deliver(const NoticePlan &plan)
{
    for (const Notice &n : plan.notices)
        notify(n);
    m_wake.stop();
    if (plan.wakeAt > 0)
        m_wake.start(int(std::clamp<qint64>(plan.wakeAt - Clock::nowUtc().toSecsSinceEpoch(), 0, 86400) * 1000));
}

void AlertCentre::notify(const Notice &notice)
{
    if (!m_notifier) {
        m_notifier = new DesktopNotifier(m_environment.notificationBus, this);
        connect(m_notifier, &DesktopNotifier::shown, this, [this](quint64 token, quint32 id) {
            const Notice n = m_sending.take(token);
            if (n.fold)
                m_foldId = id;
            m_shown.insert(id, {n.band, n.time});
            if (m_shown.size() > kShownKept)
                m_shown.erase(m_shown.begin());
        });
        connect(m_notifier, &DesktopNotifier::failed, this, [this](quint64 token) { notificationFailed(token); });
        connect(m_notifier, &DesktopNotifier::activated, this, [this](quint32 id) {
            if (const auto target = m_shown.constFind(id); target != m_shown.constEnd())
                emit reachRequested(target->band, target->time);
        });
        connect(m_notifier, &DesktopNotifier::closed, this, [this](quint32 id) {
            m_shown.remove(id);
            if (id == m_foldId)
                m_foldId = 0;
        });
    }
    const quint64 token = ++m_nextToken;
    m_sending.insert(token, notice);
    m_notifier->notify(token, {notice.summary, notice.body, m_settings.sound, notice.fold ? m_foldId : 0});
}

void AlertCentre::notificationFailed(quint64 token)
{
    // No notification service: the tray icon's message, else the alert list alone.
    const Notice n = m_sending.take(token);
    if (!m_tray || !m_tray->isVisible() || !QSystemTrayIcon::supportsMessages())
        return;
    m_balloon = {n.band, n.time};
    m_tray->showMessage(n.summary, m_notifier->trayMessageBody(n.body), programIcon(), kBalloonMs);
}

void AlertCentre::showTray(bool shown)
{
    shown = shown && m_environment.trayAllowed && QSystemTrayIcon::isSystemTrayAvailable();
    if (!shown) {
        delete m_tray;
        m_tray = nullptr;
        m_toolTipTimer.stop();
        return;
    }
    if (m_tray)
        return;
    m_tray = new QSystemTrayIcon(programIcon());
    if (!m_trayMenu) {
        m_trayMenu = new QMenu;
        addEntries(m_trayMenu);
        connect(m_trayMenu, &QMenu::aboutToShow, this, &AlertCentre::refreshToolTip);
    }
    m_tray->setContextMenu(m_trayMenu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            emit showWindowRequested();
    });
    connect(m_tray, &QSystemTrayIcon::messageClicked, this,
            [this] { emit reachRequested(m_balloon.band, m_balloon.time); });
    refreshToolTip();
    m_tray->show();
    m_toolTipTimer.start();
}

void AlertCentre::addEntries(QMenu *menu)
{
    const auto entry = [this, menu](const QString &text, const char *name, void (AlertCentre::*signal)()) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, signal);
        return a;
    };
    entry(QStringLiteral("Show window"), "ShowWindowAction", &AlertCentre::showWindowRequested);
    entry(QStringLiteral("Reach..."), "ReachAction", &AlertCentre::reachWindowRequested)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    entry(QStringLiteral("Compare..."), "CompareAction", &AlertCentre::compareWindowRequested)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    entry(QStringLiteral("Alerts..."), "AlertsAction", &AlertCentre::alertsWindowRequested);
    entry(QStringLiteral("Settings..."), "SettingsAction", &AlertCentre::settingsRequested);
    menu->addSeparator();
    entry(QStringLiteral("Quit"), "QuitAction", &AlertCentre::quitRequested);
}

QString AlertCentre::statusText()
{
    const AlertWindowStatus status = m_environment.status ? m_environment.status() : AlertWindowStatus();
    // Plain lines: the tray shows them as they stand (Windows and
    // StatusNotifierItem trays never read markup, and the tags would eat the
    // length Windows allows). A Qt-drawn tooltip takes text as markup when
    // its first line looks like a tag: that line holds no outside text.
    // The last transmission, when there is one, is the line that matters
    // most; its texts are the band plan's and a filtered mode, never markup.
    QString text = m_lastTransmission.isEmpty() ? QStringLiteral("TavikRepView\n") : m_lastTransmission + u'\n';
    if (!status.callsign.isEmpty())
        text += status.callsign + QStringLiteral(" - ");
    text += status.online ? QStringLiteral("Online") : QStringLiteral("Offline");
    if (status.lastQuery.isValid()) {
        text += QStringLiteral("; last query ") + status.lastQuery.toString(QStringLiteral("HH:mm"));
        if (m_lastReports >= 0)
            text += QStringLiteral(", %1 %2").arg(m_lastReports).arg(m_lastReports == 1 ? QStringLiteral("report")
                                                                                        : QStringLiteral("reports"));
    }
    if (!m_linkState.isEmpty())
        text += u'\n' + m_linkState;
    text += waitingLine();
    return text + u'\n' + m_recent.nowText(Clock::nowUtc().toSecsSinceEpoch());
}

void AlertCentre::setLinkLines(const QString &lastTransmission, const QString &linkState)
{
    if (lastTransmission == m_lastTransmission && linkState == m_linkState)
        return;
    m_lastTransmission = lastTransmission;
    m_linkState = linkState;
    refreshToolTip();
}

void AlertCentre::setWaitingReports(qint64 reports)
{
    m_waitingReports = reports;
    refreshToolTip();
}

QString AlertCentre::waitingLine() const
{
    if (m_waitingReports <= 0)
        return {};
    return m_waitingReports == 1 ? QStringLiteral("\n1 report waits for the archive")
                                 : QStringLiteral("\n%1 reports wait for the archive").arg(m_waitingReports);
}

void AlertCentre::refreshToolTip()
{
    if (m_tray)
        m_tray->setToolTip(statusText());
}
