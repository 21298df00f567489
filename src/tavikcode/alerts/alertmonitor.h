#pragma once

#include "alertrules.h"
#include "recentheard.h"

#include <QObject>

#include <memory>

// What one judged pass brings the window.
struct PassOutcome
{
    QList<Alert> alerts;
    bool backlog = false;
    qsizetype reports = 0;       // the reports of the pass's answer
    QList<HeardReport> heard;    // its new reports of the last 15 minutes, with their distances
    qint64 now = 0;
};

// Makes the judges the report archive runs on its own thread with every
// store (the rules' state is the archive's), and tells what each committed
// store brought through judged(), on the thread that created the monitor.
class AlertMonitor : public QObject
{
    Q_OBJECT

public:
    explicit AlertMonitor(QObject *parent = nullptr);
    // A judge still at work tells no one after this.
    ~AlertMonitor() override;

    // The rules with these settings, heard from home; catchUp: the first
    // pass after a start or after "Clr Files".
    std::shared_ptr<AlertJudge> judge(const AlertSettings &settings, const std::optional<GeoPosition> &home,
                                      bool catchUp);

    // What the link to WSJT-X tells, on the monitor's thread; the judges
    // made before and after read it. Only the last few hours are kept.
    void transmissionStarted(const Transmission &transmission);
    void transmissionEnded(const Transmission &transmission);
    void referenceHeard(const QString &reference, const QString &band, const QString &receiver, qint64 time);
    // While live, the Silence rule counts only time spent transmitting.
    void setLinkLive(bool live);

    struct Mailbox;
    struct TransmitLog;

signals:
    void judged(const PassOutcome &outcome);

private:
    std::shared_ptr<Mailbox> m_mailbox;
    std::shared_ptr<TransmitLog> m_log;
};
