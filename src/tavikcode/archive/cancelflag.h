#pragma once

#include "base/tavikerror.h"

#include <atomic>

// What work that was cancelled throws.
class QueryCancelled : public TavikError
{
public:
    QueryCancelled() : TavikError(QStringLiteral("The query was cancelled")) {}
};

// Set from any thread once a job's answer is no longer wanted. The job's
// queries and loops look at it often, so that it stops at once: also before
// its first statement runs and between statements.
class CancelFlag
{
public:
    void cancel() { m_set.store(true, std::memory_order_relaxed); }
    bool isSet() const { return m_set.load(std::memory_order_relaxed); }
    // Throws QueryCancelled once set.
    void check() const
    {
        if (isSet())
            throw QueryCancelled();
    }

private:
    std::atomic<bool> m_set{false};
};
