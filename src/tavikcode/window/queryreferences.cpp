// The reference stations' queries, after the tick's own work: one request
// to the report service at a time, between the operator's own queries. Their
// answers go to the report archive only: never to TavikRep.txt, the history
// files, the main window or the alert rules.
#include "tform1.h"

#include "archive/reportarchive.h"
#include "base/clock.h"
#include "compare/comparesettings.h"
#include "processing/reportline.h"
#include "processing/responsepass.h"
#include "retrieval/endpoints.h"
#include "retrieval/httpclient.h"
#include "shell/log.h"
#include "base/tavikerror.h"
#include "base/textlines.h"
#include "platform/settingsstore.h"

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
    // Asked now, answered or not: a failed query waits for its next turn,
    // also across a restart.
    m_referenceQueries.asked(*due, now);
    const ReferenceState reference = m_referenceQueries.references().at(*due);
    try {
        store().WriteString(comparesettings::kSection, comparesettings::kAsked, m_referenceQueries.lastAskedText());
    } catch (const std::exception &) {
        // The turn is kept for this run; a store that cannot be written is told by the settings' own saving.
    }
    const QUrl url = queryUrl(endpoints(), reference.callsign, reference.lastSeqNo);
    try {
        if (state.LogEnabled)
            LogLine(QString::fromUtf8(url.toEncoded()));
    } catch (const std::exception &e) {
        referenceAnswered(HttpResult{QString(), QString::fromUtf8(e.what())}, reference.callsign);
        return;
    }
    const QString callsign = reference.callsign;
    IdHTTP1->get(url, deadlines.query,
                 [this, callsign](const HttpResult &result) { referenceAnswered(result, callsign); });
}

void TForm1::referenceAnswered(const HttpResult &result, const QString &callsign)
{
    try {
        if (!result.ok())
            throw TavikError(result.error);
        TextLines answer;
        answer.setText(result.body);
        ArchivePass pass;
        QString lastSeqNo;
        for (const QString &line : answer.lines()) {
            if (findSearchText(line, search::kSenderMarker) >= 0)
                pass.reports << answerReportOf(line);
            if (const QString number = readSequenceNumber(line); !number.isEmpty())
                lastSeqNo = number;
        }
        pass.now = Clock::nowUtc();
        pass.answerArrived = pass.now.toSecsSinceEpoch();
        pass.referenceCallsign = callsign;
        referenceReportsHeard(callsign, pass.reports);
        archive().store(std::move(pass));
        m_referenceQueries.answered(callsign, lastSeqNo, answer.lines().size());
        m_referenceFaults.remove(callsign);
    } catch (const std::exception &e) {
        // A query cut short by closing is no fault.
        if (m_closing)
            return;
        // Logged once per fault, also with logging off; never a box.
        const QString fault = QString::fromUtf8(e.what());
        if (m_referenceFaults.value(callsign) == fault)
            return;
        m_referenceFaults.insert(callsign, fault);
        try {
            LogLine(QStringLiteral("Compare error: ") + callsign + QStringLiteral(": ") + fault);
        } catch (const std::exception &) {
        }
    }
}
