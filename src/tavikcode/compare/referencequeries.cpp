#include "referencequeries.h"

#include <QSet>

#include <algorithm>
#include <cstdlib>

QStringList referenceCallsigns(const QString &text, const QString &operatorCallsign)
{
    const QString own = operatorCallsign.trimmed().toUpper();
    QStringList callsigns;
    for (const QString &part : text.split(u',')) {
        const QString callsign = part.trimmed().toUpper();
        const bool plain = std::all_of(callsign.begin(), callsign.end(), [](QChar c) {
            return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'/';
        });
        if (callsign.isEmpty() || !plain || callsign == own || callsigns.contains(callsign))
            continue;
        callsigns << callsign;
        if (callsigns.size() == kMaxReferences)
            break;
    }
    return callsigns;
}

int referenceInterval(const QString &stored)
{
    bool number = false;
    const int minutes = stored.trimmed().toInt(&number);
    return number ? std::clamp(minutes, kMinIntervalMinutes, kMaxIntervalMinutes) : kDefaultIntervalMinutes;
}

void ReferenceQueries::setCallsigns(const QStringList &callsigns)
{
    QList<ReferenceState> references;
    for (const QString &callsign : callsigns) {
        const auto known = std::find_if(m_references.cbegin(), m_references.cend(),
                                         [&](const ReferenceState &r) { return r.callsign == callsign; });
        references << (known != m_references.cend() ? *known : ReferenceState{callsign, {}, {}});
    }
    m_references = references;
}

std::optional<qsizetype> ReferenceQueries::due(qint64 now, int intervalMinutes) const
{
    const qint64 interval = qint64(intervalMinutes) * 60;
    std::optional<qsizetype> chosen;
    for (qsizetype i = 0; i < m_references.size(); ++i) {
        const std::optional<qint64> asked = m_references[i].lastAsked;
        if (asked && std::abs(now - *asked) < interval)
            continue;
        if (!chosen)
            chosen = i;
        else if (const std::optional<qint64> best = m_references[*chosen].lastAsked; best && (!asked || *asked < *best))
            chosen = i;
    }
    return chosen;
}

void ReferenceQueries::asked(qsizetype index, qint64 now)
{
    m_references[index].lastAsked = now;
}

void ReferenceQueries::answered(const QString &callsign, const QString &lastSeqNo)
{
    for (ReferenceState &r : m_references) {
        if (r.callsign == callsign && !lastSeqNo.isEmpty())
            r.lastSeqNo = lastSeqNo;
    }
}
