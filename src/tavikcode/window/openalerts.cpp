// The main window's side of the alerts: the alert centre, the Alerts window,
// the settings dialog, and the Reach window opened on an alert.
#include "tform1.h"

#include "alerts/alertcentre.h"
#include "alerts/alertsettingsdialog.h"
#include "alerts/alertswindow.h"
#include "archive/archiveworker.h"
#include "archive/reportarchive.h"
#include "base/callsignfile.h"
#include "base/clock.h"
#include "base/fileutil.h"
#include "base/textlines.h"
#include "base/filenames.h"
#include "platform/autostart.h"
#include "shell/log.h"
#include "geo/homelocator.h"
#include "geo/locator.h"
#include "reach/reachwindow.h"
#include "base/tavikerror.h"

#include <utility>

void TForm1::createAlerts()
{
    AlertCentre::Environment environment;
    environment.status = [this] {
        return AlertWindowStatus{QString(state.Callsign).remove(u'\r').trimmed(), isPublicIpKnown(state),
                                 state.LastGetTime};
    };
    AlertSettings settings = AlertSettings::load(store());
    settings.autostart = autostartEnabled();
    m_alerts = new AlertCentre(settings, std::move(environment), this);
    connect(m_alerts, &AlertCentre::reachRequested, this, [this](const QString &band, qint64 time) {
        userAction([&] { openReachOn(band, time); });
    });
    connect(m_alerts, &AlertCentre::showWindowRequested, this, [this] {
        showNormal();
        raise();
        activateWindow();
    });
    connect(m_alerts, &AlertCentre::reachWindowRequested, this, [this] { userAction([this] { openReachWindow(); }); });
    connect(m_alerts, &AlertCentre::compareWindowRequested, this,
            [this] { userAction([this] { openCompareWindow(); }); });
    connect(m_alerts, &AlertCentre::alertsWindowRequested, this,
            [this] { userAction([this] { openAlertsWindow(); }); });
    connect(m_alerts, &AlertCentre::settingsRequested, this, [this] { userAction([this] { openAlertSettings(); }); });
    connect(m_alerts, &AlertCentre::quitRequested, this, [this] { userAction([this] { Button1Click(); }); });
}

AlertCentre &TForm1::alerts()
{
    return *m_alerts;
}

void TForm1::addAlertEntries(QMenu *menu)
{
    m_alerts->addEntries(menu);
}

std::shared_ptr<AlertJudge> TForm1::alertJudge()
{
    return m_alerts->judge(alertHome(), std::exchange(m_alertsCatchUp, false));
}

std::shared_ptr<AlertJudge> TForm1::openingJudge()
{
    // The journal's reports come after a start.
    return m_alerts->judge(alertHome(), true);
}

void TForm1::archiveWaiting(qint64 reports)
{
    if (m_alerts)
        m_alerts->setWaitingReports(reports);
    // Told in the log at most once an hour, even with logging off, as the archive's faults are.
    const QDateTime now = Clock::nowUtc();
    if (reports == 0 || (m_waitingLogged.isValid() && m_waitingLogged.secsTo(now) < 3600))
        return;
    m_waitingLogged = now;
    try {
        LogLine(QStringLiteral("Archive: %1 reports wait in the journal for the report archive").arg(reports));
    } catch (const std::exception &) {
        // The tray's tooltip still tells it.
    }
}

std::optional<GeoPosition> TForm1::alertHome()
{
    // Without one, the rules that need it stay silent.
    return locatorPosition(alertHomeGrid());
}

QString TForm1::alertHomeGrid()
{
    // As the Reach window takes it; the digital-mode program's own while it is heard.
    const QString live = liveHomeGrid();
    return live.isEmpty() ? homeLocator(store(), files::kWsjtxIni).grid : live;
}

void TForm1::openAlertsWindow()
{
    if (!m_alertsWindow) {
        m_alertsWindow = new AlertsWindow(this);
        m_alertsWindow->setAttribute(Qt::WA_DeleteOnClose);
        // Alerts are told after their store is committed, so a list read
        // then holds them: each batch, and a clearing, reads it again.
        connect(m_alerts, &AlertCentre::alertsAdded, m_alertsWindow, [this] { readAlertList(); });
        connect(m_archive, &ReportArchive::alertsCleared, m_alertsWindow, [this] { readAlertList(); });
        connect(m_alertsWindow, &AlertsWindow::clearRequested, this, [this] { m_archive->clearAlerts(); });
        connect(m_alertsWindow, &AlertsWindow::reachRequested, this, [this](const QString &band, qint64 time) {
            userAction([&] { openReachOn(band, time); });
        });
        readAlertList();
    }
    m_alertsWindow->showNormal();
    m_alertsWindow->raise();
    m_alertsWindow->activateWindow();
}

// On the shared reader, apart from the writer: the list can be read while
// the archive cannot be written. The newest read wins.
void TForm1::readAlertList()
{
    if (!m_alertList)
        m_alertList = std::make_unique<ArchiveWorker>(*m_archiveReaders);
    m_alertList->submit(
        {[this](ArchiveReader &reader, const CancelFlag &) {
             QList<Alert> alerts = reader.alerts(AlertsWindow::kShown);
             QMetaObject::invokeMethod(
                 this, [this, alerts = std::move(alerts)] {
                     if (m_alertsWindow)
                         m_alertsWindow->showAlerts(alerts);
                 },
                 Qt::QueuedConnection);
         },
         [this](const QString &error) {
             QMetaObject::invokeMethod(
                 this, [this, error] {
                     archiveFailed(QStringLiteral("The alert list cannot be read from the report archive: %1.")
                                       .arg(error));
                     if (m_alertsWindow)
                         m_alertsWindow->showAlerts({});
                 },
                 Qt::QueuedConnection);
         }});
}

void TForm1::openAlertSettings()
{
    if (!m_alertSettings) {
        AlertSettings current = m_alerts->settings();
        current.autostart = autostartEnabled();
        m_alertSettings = new AlertSettingsDialog(current, this);
        m_alertSettings->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_alertSettings, &AlertSettingsDialog::chosen, this,
                [this](const AlertSettings &chosen) { userAction([&] { applyAlertSettings(chosen); }); });
        // Until the operator chose, the listener's place is WSJT-X's own UDP server.
        if (!alertsettings::wsjtxListenEverSet(store()) && fileutil::fileExists(files::kWsjtxIni)) {
            try {
                TextLines lines(TextLines::Unsorted);
                lines.loadFromFile(files::kWsjtxIni);
                if (const auto target = udpServerFromLines(lines.lines()))
                    m_alertSettings->proposeWsjtxTarget(target->first, target->second);
            } catch (const TavikError &) {
                // No proposal then: the defaults stand.
            }
        }
    }
    m_alertSettings->show();
    m_alertSettings->raise();
    m_alertSettings->activateWindow();
}

void TForm1::applyAlertSettings(AlertSettings chosen)
{
    // The rules take the choice even when the store or the autostart entry
    // cannot be written; that is told after.
    std::optional<TavikError> failure;
    try {
        if (chosen.autostart != autostartEnabled())
            setAutostart(chosen.autostart, m_programFile);
    } catch (const TavikError &e) {
        failure = e;
    }
    chosen.autostart = autostartEnabled();
    m_alerts->applySettings(chosen);
    startDigitalModeLink();
    chosen.save(store());
    if (failure)
        throw *failure;
}

void TForm1::openReachOn(const QString &band, qint64 time)
{
    openReachWindow();
    m_reach->selectPeriod(reachPeriodFor(time, Clock::nowUtc().toSecsSinceEpoch()));
    m_reach->selectBand(band);
}

AlertsWindow *TForm1::alertsWindow() const
{
    return m_alertsWindow;
}

AlertSettingsDialog *TForm1::alertSettingsDialog() const
{
    return m_alertSettings;
}
