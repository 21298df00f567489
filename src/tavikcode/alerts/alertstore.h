#pragma once

#include "alertrules.h"

#include <QList>

// The alert list as the Alerts window reads it: every alert, newest first.
class AlertStore
{
public:
    virtual ~AlertStore() = default;

    // Newest first; alerts of the same time, the one added last first.
    virtual QList<Alert> alerts() const = 0;
    virtual void add(const QList<Alert> &alerts) = 0;
    virtual void clear() = 0;
};

// The list kept in memory for the program's run.
class MemoryAlertStore final : public AlertStore
{
public:
    // The oldest go beyond this many.
    static constexpr qsizetype kKept = 10000;

    QList<Alert> alerts() const override;
    void add(const QList<Alert> &alerts) override;
    void clear() override;

private:
    QList<Alert> m_alerts; // newest first
};
