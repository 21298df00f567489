// The reference stations' queries, after the tick's own work: one request
// to the report service at a time, between the operator's own queries. Their
// answers go to the report archive only: never to TavikRep.txt, the history
// files, the main window or the alert rules.
#include "tform1.h"

#include "archive/reportarchive.h"
#include "base/clock.h"
#include "processing/reportline.h"
#include "processing/responsepass.h"
#include "retrieval/endpoints.h"
#include "retrieval/httpclient.h"
#include "shell/log.h"
#include "base/textlines.h"

void TForm1::QueryReferences()
{
    const QString own = QString(state.Callsign).remove(u'\r').trimmed().toUpper();
    if (m_closing || own.isEmpty() || m_referenceCalls.isEmpty()
        || !sideRequestFits(deadlines.query, std::chrono::seconds(kOwnQueryDistanceSeconds)))
        return;
    m_referenceQueries.setCallsigns(referenceCallsigns(m_referenceCalls, own));
    const qint64 now = Clock::nowUtc().toSecsSinceEpoch();
    const std::optional<qsizetype> due = m_referenceQueries.due(now, m_referenceInterval);
    if (!due)
        return;
    const ReferenceState reference = m_referenceQueries.references().at(*due);
    // Asked now, answered or not: a failed query waits for its next turn.
    m_referenceQueries.asked(*due, now);
    try {
        const QUrl url = queryUrl(endpoints(), reference.callsign, reference.lastSeqNo);
        if (state.LogEnabled)
            LogLine(QString::fromUtf8(url.toEncoded()));
        TextLines answer;
        answer.setText(IdHTTP1->get(url, deadlines.query));
        ArchivePass pass;
        QString lastSeqNo;
        for (const QString &line : answer.lines()) {
            if (findSearchText(line, search::kSenderMarker) >= 0)
                pass.reportLines << line;
            if (const QString number = readSequenceNumber(line); !number.isEmpty())
                lastSeqNo = number;
        }
        pass.now = Clock::nowUtc();
        pass.answerArrived = pass.now.toSecsSinceEpoch();
        pass.referenceCallsign = reference.callsign;
        archive().store(std::move(pass));
        m_referenceQueries.answered(reference.callsign, lastSeqNo);
        m_referenceFaults.remove(reference.callsign);
    } catch (const std::exception &e) {
        // A query cut short by closing is no fault.
        if (m_closing)
            return;
        // Logged once per fault, also with logging off; never a box.
        const QString fault = QString::fromUtf8(e.what());
        if (m_referenceFaults.value(reference.callsign) == fault)
            return;
        m_referenceFaults.insert(reference.callsign, fault);
        try {
            LogLine(QStringLiteral("Compare error: ") + reference.callsign + QStringLiteral(": ") + fault);
        } catch (const std::exception &) {
        }
    }
}
