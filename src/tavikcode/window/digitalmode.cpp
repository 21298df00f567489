// The link to the digital-mode program: WSJT-X's (or JTDX's) UDP messages,
// its band and its transmissions, wired to the archive, the alerts, the tray
// and the side windows.
#include "tform1.h"

#include "alerts/alertcentre.h"
#include "alerts/alertsettings.h"
#include "archive/archiveworker.h"
#include "archive/bandplan.h"
#include "archive/reportarchive.h"
#include "base/clock.h"
#include "base/filenames.h"
#include "compare/comparewindow.h"
#include "geo/homelocator.h"
#include "reach/reachwindow.h"
#include "shell/dialogs.h"
#include "shell/log.h"
#include "wsjtx/linktexts.h"
#include "wsjtx/wsjtxmonitor.h"

#include <QHostAddress>

void TForm1::createDigitalModeLink()
{
    m_wsjtx = new WsjtxMonitor(this);
    WsjtxListener &listener = m_wsjtx->listener();
    connect(&listener, &WsjtxListener::firstDropped, this, [](const QString &text) { LogLine(text); });
    connect(&listener, &WsjtxListener::problem, this, [this](const QString &text) {
        LogLine(QStringLiteral("WSJT-X listener: ") + text);
        // Told once a start in plain words; the listener says each text once.
        if (!m_closing && !m_linkProblemsShown.contains(text)) {
            m_linkProblemsShown.insert(text);
            Dialogs::showMessage(text);
        }
    });
    connect(m_wsjtx, &WsjtxMonitor::instancesChanged, this, [this] { userAction([this] { digitalModeChanged(); }); });
    connect(m_wsjtx, &WsjtxMonitor::transmissionStarted, this,
            [this](const Transmission &t) {
                m_alerts->monitor().transmissionStarted(t);
                userAction([this] { digitalModeChanged(); });
            });
    connect(m_wsjtx, &WsjtxMonitor::transmissionEnded, this,
            [this](const Transmission &t) { userAction([this, t] { transmissionEnded(t); }); });
}

void TForm1::startDigitalModeLink()
{
    const AlertSettings &settings = m_alerts->settings();
    WsjtxListener &listener = m_wsjtx->listener();
    const QHostAddress address(settings.wsjtxAddress);
    const bool wanted = settings.wsjtxListen && !m_closing;
    const bool same = listener.state() == WsjtxListener::State::Listening && m_linkAddress == address
                      && m_linkPort == settings.wsjtxPort;
    if (wanted && !same) {
        m_linkAddress = address;
        m_linkPort = settings.wsjtxPort;
        if (listener.start(address, settings.wsjtxPort))
            LogLine(QStringLiteral("WSJT-X listener: listening on %1 port %2")
                        .arg(address.toString())
                        .arg(settings.wsjtxPort));
    } else if (!wanted && listener.state() != WsjtxListener::State::Stopped) {
        listener.stop();
        m_wsjtx->tick(Clock::nowUtc().addSecs(WsjtxInstances::kSilenceSeconds + 1)); // forgets every copy
    }
    digitalModeChanged();
}

bool TForm1::digitalModeLive() const
{
    return m_wsjtx && m_wsjtx->instances().followed() != nullptr;
}

QString TForm1::liveHomeGrid() const
{
    return m_wsjtx ? liveGrid(m_wsjtx->instances()) : QString();
}

void TForm1::digitalModeChanged()
{
    if (!m_wsjtx)
        return;
    const bool listening = m_alerts->settings().wsjtxListen;
    const WsjtxInstances &instances = m_wsjtx->instances();
    const QString linkState = listening ? linkStateText(instances, m_wsjtx->running().has_value()) : QString();
    const QString band = liveBand(instances);
    m_wsjtx->setOperatorCallsign(QString(state.Callsign).remove(u'\r').trimmed());
    m_alerts->setLinkLines(m_lastTransmissionLine, linkState);
    m_alerts->monitor().setLinkLive(digitalModeLive());
    if (m_reach) {
        m_reach->setLinkState(linkState);
        m_reach->setLiveBand(band);
        m_reach->setCallsignNote(callsignNote(instances, QString(state.Callsign).remove(u'\r').trimmed()));
        m_reach->setLiveGrid(liveHomeGrid());
    }
    if (m_compare) {
        m_compare->setLiveBand(band);
        m_compare->setLiveGrid(liveHomeGrid());
    }
}

void TForm1::transmissionEnded(const Transmission &transmission)
{
    archive().storeTransmission(transmission);
    m_alerts->monitor().transmissionEnded(transmission);
    // Its reports come with later passes, which read it again from the archive.
    TransmissionSummary unheardYet;
    unheardYet.transmission = transmission;
    m_lastTransmissionLine = lastTransmissionLine(unheardYet);
    digitalModeChanged();
}

// After a transmission and after each pass: who heard the last one, for
// the tray and the Reach window's list, read on the shared reader.
void TForm1::readLastTransmission()
{
    if (m_closing)
        return;
    if (m_reach)
        m_reach->refreshTransmissions();
    if (!m_transmissionReads)
        m_transmissionReads = std::make_unique<ArchiveWorker>(*m_archiveReaders);
    const QString home = alertHomeGrid();
    m_transmissionReads->submit(
        {[this, home](ArchiveReader &reader, const CancelFlag &) {
             const QList<TransmissionSummary> last = reader.transmissions(1, home);
             const QString line = last.isEmpty() ? QString() : lastTransmissionLine(last.first());
             QMetaObject::invokeMethod(
                 this, [this, line] {
                     m_lastTransmissionLine = line;
                     digitalModeChanged();
                 },
                 Qt::QueuedConnection);
         },
         // An archive not yet made or not readable now: the line waits for
         // the next pass; the archive's own faults are told by its writer.
         [](const QString &) {}});
}

void TForm1::referenceReportsHeard(const QString &reference, const QList<AnswerReport> &reports)
{
    for (const AnswerReport &r : reports) {
        if (r.sender.compare(reference, Qt::CaseInsensitive) != 0)
            continue;
        bool timeOk = false, hzOk = false;
        const qint64 time = r.flowStartSeconds.toLongLong(&timeOk);
        const qint64 hz = r.frequency.toLongLong(&hzOk);
        if (timeOk && hzOk)
            m_alerts->monitor().referenceHeard(reference, bandOfFrequency(hz), r.receiver, time);
    }
}

WsjtxMonitor &TForm1::digitalMode()
{
    return *m_wsjtx;
}
