#include "alertmonitor.h"

#include "archive/archiverecords.h"
#include "reach/locator.h"

#include <QMetaObject>

AlertMonitor::AlertMonitor(QObject *parent) : QObject(parent), m_state(std::make_shared<AlertState>())
{
    // One thread keeps the passes in order; it ends when idle.
    m_pool.setMaxThreadCount(1);
    m_pool.setObjectName(QStringLiteral("TavikAlerts"));
}

AlertMonitor::~AlertMonitor()
{
    m_pool.waitForDone();
}

void AlertMonitor::judge(Pass pass)
{
    m_pool.start([this, state = m_state, pass = std::move(pass)]() mutable {
        PassOutcome outcome;
        outcome.now = pass.input.now;
        for (const QString &line : pass.reportLines) {
            const ArchivedReport *previous = pass.input.reports.isEmpty() ? nullptr : &pass.input.reports.constLast();
            if (std::optional<ArchivedReport> r = reportFromAnswerLine(line, pass.input.now, previous))
                pass.input.reports << std::move(*r);
        }
        outcome.reports = pass.input.reports.size();
        Judgement j = judgePass(pass.settings, std::move(*state), pass.input);
        *state = std::move(j.state);
        outcome.alerts = std::move(j.alerts);
        outcome.backlog = j.backlog;
        for (const ArchivedReport &r : pass.input.reports) {
            if (r.flowStartSeconds <= pass.input.now - RecentHeard::kSpanSeconds)
                continue;
            HeardReport h{alertBand(r), r.receiver, r.flowStartSeconds, std::nullopt};
            if (pass.input.home) {
                if (const std::optional<GeoPosition> there = locatorPosition(r.locator))
                    h.km = geodesicPath(*pass.input.home, *there).distanceKm;
            }
            outcome.heard << std::move(h);
        }
        QMetaObject::invokeMethod(this, [this, outcome = std::move(outcome)] { emit judged(outcome); },
                                  Qt::QueuedConnection);
    });
}

void AlertMonitor::waitForIdle()
{
    m_pool.waitForDone();
}
