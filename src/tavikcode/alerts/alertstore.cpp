#include "alertstore.h"

#include <algorithm>

QList<Alert> MemoryAlertStore::alerts() const
{
    return m_alerts;
}

void MemoryAlertStore::add(const QList<Alert> &alerts)
{
    for (const Alert &a : alerts) {
        const auto place = std::find_if(m_alerts.begin(), m_alerts.end(),
                                        [&a](const Alert &kept) { return kept.time <= a.time; });
        m_alerts.insert(place, a);
    }
    if (m_alerts.size() > kKept)
        m_alerts.resize(kKept);
}

void MemoryAlertStore::clear()
{
    m_alerts.clear();
}
