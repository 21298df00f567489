#pragma once

// What the stand-in served, and the histories that follow from it, worked
// out from the served bytes alone: the report history must hold every report
// of the operator that a successful answer carried, once, unless the 300-line
// limit cut it (the newest 300 stay); the receivers and grid entries every
// one served.

#include "reportgenerator.h"
#include "standinserver.h"

#include "../testsupport.h"

#include <QByteArrayList>
#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QUrlQuery>

#include <deque>

namespace served {

// The name="value" attributes of one line of an answer.
inline QMap<QString, QString> attributes(const QByteArray &line)
{
    static const QRegularExpression attribute(QStringLiteral("([A-Za-z]+)=\"([^\"]*)\""));
    QMap<QString, QString> values;
    auto it = attribute.globalMatch(QString::fromUtf8(line));
    while (it.hasNext()) {
        const auto m = it.next();
        values.insert(m.captured(1), m.captured(2));
    }
    return values;
}

} // namespace served

// Answers every report query with the generator's answer at the test clock's
// time, unless a planned answer comes first, and keeps what the answers that
// went out whole carried.
class ServedAnswers
{
public:
    enum class Plan { Generated, OneLine, Fault };
    struct Planned
    {
        Plan plan = Plan::Generated;
        StandInFault fault;
    };

    explicit ServedAnswers(StandInServer &server) : m_server(server)
    {
        QObject::connect(&server, &StandInServer::requestReceived, &server,
                         [this](const StandInRequest &request) { answer(request); });
    }

    // The plan for the query with this number (0 for the first).
    void plan(int query, Plan plan, StandInFault::Kind fault = StandInFault::None, int value = 0)
    {
        Planned p;
        p.plan = plan;
        p.fault.kind = fault;
        p.fault.value = value;
        m_plans[query] = p;
    }

    int queries() const { return m_queries; }

    // What the successful answers carried: the operator's reports (start time,
    // seconds since 1970 -> receiver), the active receivers and their grid
    // entries (upper-cased). Kept as it is served, in room reserved at the
    // start, so that a long run's records do not grow its memory much.
    QMap<qint64, QString> reports() const;
    const QSet<QString> &receivers() const { return m_receivers; }
    const QSet<QString> &gridEntries() const { return m_grids; }
    // The lastseqno each query carried ("" for none), in order.
    const QStringList &sequenceNumbersAsked() const { return m_asked; }
    // The test clock's time at each query, in order.
    const QList<QDateTime> &times() const { return m_times; }

private:
    void answer(const StandInRequest &request)
    {
        const qsizetype mark = request.target.indexOf('?');
        if (request.target.left(mark) != "/query")
            return;
        const QUrlQuery query(QString::fromUtf8(request.target.mid(mark + 1)));
        const QString lastSeqNo = query.queryItemValue(QStringLiteral("lastseqno"));
        m_asked << lastSeqNo;
        m_times << Clock::nowUtc();
        const Planned p = m_plans.value(m_queries++);
        StandInAnswer a;
        a.body = p.plan == Plan::OneLine
            ? QByteArray("<receptionReports/>")
            : ReportGenerator::answer(query.queryItemValue(QStringLiteral("senderCallsign")), lastSeqNo,
                                      Clock::nowUtc().toSecsSinceEpoch());
        a.fault = p.fault;
        if (p.plan != Plan::Fault)
            take(a.body, query.queryItemValue(QStringLiteral("senderCallsign")));
        m_server.enqueueAnswer(a);
    }

    void take(const QByteArray &body, const QString &callsign);

    static QHash<qint64, QString> reserved()
    {
        QHash<qint64, QString> hash;
        hash.reserve(16384);
        return hash;
    }

    StandInServer &m_server;
    QMap<int, Planned> m_plans;
    QHash<qint64, QString> m_reports = reserved();
    QSet<QString> m_receivers;
    QSet<QString> m_grids;
    QSet<QString> m_names; // each receiver's name held once
    QStringList m_asked;
    QList<QDateTime> m_times;
    int m_queries = 0;
};

inline void ServedAnswers::take(const QByteArray &body, const QString &callsign)
{
    const auto interned = [this](const QString &name) {
        const auto it = m_names.constFind(name);
        return it != m_names.constEnd() ? *it : *m_names.insert(name);
    };
    for (const QByteArray &line : body.split('\n')) {
        if (line.startsWith("<receptionReport ")) {
            const auto a = served::attributes(line);
            if (a.value(QStringLiteral("senderCallsign")) == callsign)
                m_reports.insert(a.value(QStringLiteral("flowStartSeconds")).toLongLong(),
                                 interned(a.value(QStringLiteral("receiverCallsign"))));
        } else if (line.startsWith("<activeReceiver ")) {
            const auto a = served::attributes(line);
            const QString receiver = a.value(QStringLiteral("callsign")).toUpper();
            m_receivers.insert(interned(receiver));
            m_grids.insert(interned(receiver + u',' + a.value(QStringLiteral("locator")).left(6).toUpper()));
        }
    }
}

inline QMap<qint64, QString> ServedAnswers::reports() const
{
    QMap<qint64, QString> sorted;
    for (auto it = m_reports.constBegin(); it != m_reports.constEnd(); ++it)
        sorted.insert(it.key(), it.value());
    return sorted;
}

namespace served {

// The lines of a file written with CR LF.
inline QStringList fileLines(const QString &name)
{
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(f.readAll());
    if (text.endsWith(QStringLiteral("\r\n")))
        text.chop(2);
    return text.isEmpty() ? QStringList() : text.split(QStringLiteral("\r\n"));
}

// The start time of a report line: "ddMmmyyyy hh:mm:ss" (English, UTC) before
// the first comma, the time left out at midnight; -1 when it is none.
inline qint64 reportTime(const QString &line)
{
    static const QStringList months = {"Jan"_qs, "Feb"_qs, "Mar"_qs, "Apr"_qs, "May"_qs, "Jun"_qs,
                                       "Jul"_qs, "Aug"_qs, "Sep"_qs, "Oct"_qs, "Nov"_qs, "Dec"_qs};
    const QString field = line.left(line.indexOf(u','));
    const QDate date(field.mid(5, 4).toInt(), int(months.indexOf(field.mid(2, 3))) + 1, field.left(2).toInt());
    QTime time(0, 0);
    if (field.size() > 9)
        time = QTime::fromString(field.mid(10), QStringLiteral("hh:mm:ss"));
    if (!date.isValid() || !time.isValid())
        return -1;
    return QDateTime(date, time, Qt::UTC).toSecsSinceEpoch();
}

// The receiver of a report line: its second field without blanks and tabs.
inline QString reportReceiver(const QString &line)
{
    return line.section(u',', 1, 1).trimmed();
}

// Every served report once, the newest kept when more than 300 were served;
// each line names the receiver that was served with it. Empty when so,
// otherwise what is wrong.
inline QString checkReportHistory(const QStringList &history, const QMap<qint64, QString> &servedReports)
{
    QSet<qint64> seen;
    for (const QString &line : history) {
        const qint64 t = reportTime(line);
        if (t < 0)
            return "a line without a time: "_qs + line;
        if (seen.contains(t))
            return "twice: "_qs + line;
        seen << t;
        if (!servedReports.contains(t))
            return "never served: "_qs + line;
        if (servedReports.value(t) != reportReceiver(line))
            return "another receiver than served: "_qs + line;
    }
    const QList<qint64> times = servedReports.keys(); // ascending
    const qsizetype kept = std::min<qsizetype>(times.size(), 300);
    if (history.size() != kept)
        return QStringLiteral("%1 lines for %2 served reports").arg(history.size()).arg(times.size());
    for (qsizetype i = times.size() - kept; i < times.size(); ++i) {
        if (!seen.contains(times.at(i)))
            return QStringLiteral("lost: the report of %1").arg(times.at(i));
    }
    return {};
}

inline QSet<QString> upperSet(const QStringList &lines)
{
    QSet<QString> result;
    for (const QString &line : lines)
        result << line.toUpper();
    return result;
}

} // namespace served
