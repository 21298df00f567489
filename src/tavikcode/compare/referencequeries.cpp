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
        ReferenceState fresh{callsign, {}, {}, 0};
        if (const auto stored = m_stored.constFind(callsign); stored != m_stored.cend())
            fresh.lastAsked = *stored;
        references << (known != m_references.cend() ? *known : fresh);
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

QString ReferenceQueries::lastAskedText() const
{
    QStringList parts;
    for (const ReferenceState &r : m_references) {
        if (r.lastAsked)
            parts << r.callsign + u'=' + QString::number(*r.lastAsked);
    }
    return parts.join(u',');
}

void ReferenceQueries::restoreLastAsked(const QString &text)
{
    m_stored.clear();
    for (const QString &part : text.split(u',')) {
        const QStringList named = part.split(u'=');
        bool number = false;
        const qint64 seconds = named.value(1).trimmed().toLongLong(&number);
        const QStringList callsign = referenceCallsigns(named.value(0));
        if (named.size() == 2 && number && callsign.size() == 1)
            m_stored.insert(callsign.front(), seconds);
    }
}

void ReferenceQueries::asked(qsizetype index, qint64 now)
{
    ReferenceState &r = m_references[index];
    r.lastAsked = now;
    m_stored.insert(r.callsign, now);
    if (r.emptyAnswers > 2)
        r.lastSeqNo.clear();
}

void ReferenceQueries::answered(const QString &callsign, const QString &lastSeqNo, qsizetype lines)
{
    for (ReferenceState &r : m_references) {
        if (r.callsign != callsign)
            continue;
        r.emptyAnswers = lines == 1 ? r.emptyAnswers + 1 : 0;
        if (!lastSeqNo.isEmpty())
            r.lastSeqNo = lastSeqNo;
    }
}
