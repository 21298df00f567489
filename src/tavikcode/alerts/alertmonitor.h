#pragma once

#include "alertrules.h"
#include "recentheard.h"

#include <QObject>
#include <QStringList>
#include <QThreadPool>

#include <memory>

// What one judged pass brings the window.
struct PassOutcome
{
    QList<Alert> alerts;
    bool backlog = false;
    qsizetype reports = 0;       // the reports of the pass's answer
    QList<HeardReport> heard;    // those of the last 15 minutes, with their distances
    qint64 now = 0;
};

// Judges every pass off the user-interface thread, one at a time in the
// order handed over, and tells the outcome on the thread that created it.
// The rules' state lives here for the program's run.
class AlertMonitor : public QObject
{
    Q_OBJECT

public:
    explicit AlertMonitor(QObject *parent = nullptr);
    // Finishes the pass at work.
    ~AlertMonitor() override;

    struct Pass
    {
        QStringList reportLines;          // answer lines the pass took for the operator's reports
        PassInput input;                  // all but the reports
        AlertSettings settings;
    };
    void judge(Pass pass);

    // Blocks until every pass handed over is judged (tests).
    void waitForIdle();

signals:
    void judged(const PassOutcome &outcome);

private:
    QThreadPool m_pool;
    std::shared_ptr<AlertState> m_state; // touched by the pool's one thread only
};
