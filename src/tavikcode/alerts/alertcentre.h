#pragma once

#include "alertmonitor.h"
#include "alertsettings.h"
#include "noticeplan.h"
#include "recentheard.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class DesktopNotifier;
class QMenu;
class QSystemTrayIcon;
class QWidget;

// What the tray's tooltip tells of the main window.
struct AlertWindowStatus
{
    QString callsign;
    bool online = false;
    QDateTime lastQuery; // local; invalid: none yet
};

// Where alerts go once judged (the report archive judges every pass and
// keeps the alert list): a desktop notification (or the tray icon's message
// where there is no notification service), the Alerts window, and the tray
// icon with its menu and its tooltip. Lives on the user-interface thread;
// nothing here waits on the operator or on the notification service.
class AlertCentre : public QObject
{
    Q_OBJECT

public:
    struct Environment
    {
        std::function<AlertWindowStatus()> status;
        QString notificationBus;  // empty: the session bus
        bool trayAllowed = true;  // false: never a tray icon (tests)
    };
    AlertCentre(AlertSettings settings, Environment environment, QObject *parent = nullptr);
    ~AlertCentre() override;

    const AlertSettings &settings() const { return m_settings; }
    // The rules' monitor: the window tells it the transmissions and the link.
    AlertMonitor &monitor() { return m_monitor; }
    // Takes new settings: the tray icon comes or goes, the rules and the
    // notifications follow them from the next pass on.
    void applySettings(const AlertSettings &settings);

    // The rules with the settings of now, for the archive to run over a
    // pass's new reports (catchUp: the first pass after a start or "Clr Files").
    std::shared_ptr<AlertJudge> judge(const std::optional<GeoPosition> &home, bool catchUp);

    // The entries of the tray's menu, which the list view's menu has too:
    // "Show window", "Reach...", "Compare...", "Alerts...", "Settings...",
    // "Quit".
    void addEntries(QMenu *menu);
    // The program closes: the icon goes from the tray whatever the settings say.
    void removeTrayIcon() { showTray(false); }
    // The tooltip's text, plain lines: the last transmission (else the
    // program's name); the callsign, online or not and the last query; the
    // link to the digital-mode program; the bands of the last 15 minutes.
    QString statusText();

    // The link's lines for the tooltip, each plain text with no outside
    // markup possible (wsjtx/linktexts.h); empty: not shown.
    void setLinkLines(const QString &lastTransmission, const QString &linkState);

    // The reports that wait in the archive's journal, for the tooltip (0: none).
    void setWaitingReports(qint64 reports);

    // Plans again with nothing new: what waited for quiet hours or a place (the wake timer).
    void wake();

signals:
    // Alerts of a committed pass, oldest first.
    void alertsAdded(const QList<Alert> &alerts);
    void reachRequested(const QString &band, qint64 time);
    void showWindowRequested();
    void reachWindowRequested();
    void compareWindowRequested();
    void alertsWindowRequested();
    void settingsRequested();
    void quitRequested();

private:
    struct Target
    {
        QString band;
        qint64 time = 0;
    };

    void passJudged(const PassOutcome &outcome);
    void deliver(const NoticePlan &plan);
    void notify(const Notice &notice);
    void notificationFailed(quint64 token);
    void showTray(bool shown);
    void refreshToolTip();
    QString waitingLine() const;

    AlertSettings m_settings;
    Environment m_environment;
    AlertMonitor m_monitor;
    NoticeState m_notices;
    RecentHeard m_recent;
    qsizetype m_lastReports = -1;
    qint64 m_waitingReports = 0;
    QString m_lastTransmission;
    QString m_linkState;
    QTimer m_wake;
    QTimer m_toolTipTimer;
    DesktopNotifier *m_notifier = nullptr; // made at the first notification
    QSystemTrayIcon *m_tray = nullptr;
    QMenu *m_trayMenu = nullptr;
    quint64 m_nextToken = 0;
    QHash<quint64, Notice> m_sending;      // until the service answers
    QHash<quint32, Target> m_shown;        // by notification id
    quint32 m_foldId = 0;                  // the "and N more alerts" shown, to show again in its place
    Target m_balloon;                      // of the tray's last message
};
