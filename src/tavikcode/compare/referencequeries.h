#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// When the reference stations are asked of the report service. Good manners
// toward the service: each reference at most once every interval (here);
// never within a minute of the operator's own query (before or after it),
// never a second request on the client while one is outstanding, and only
// online (the main window's judgement of a side request, which the version
// check shares: TForm1::sideRequestFits).

inline constexpr int kMaxReferences = 3;
inline constexpr int kDefaultIntervalMinutes = 15;
inline constexpr int kMinIntervalMinutes = 15;
inline constexpr int kMaxIntervalMinutes = 60;
inline constexpr qint64 kOwnQueryDistanceSeconds = 60;

// The reference callsigns of a text such as "K1ABC, k1abc/p": split at
// commas, trimmed, in capitals; empty entries, repeats, the operator's own
// callsign and anything but letters, digits and "/" left out; at most three.
QStringList referenceCallsigns(const QString &text, const QString &operatorCallsign = {});

// The stored interval: 15 to 60 minutes; anything else gives the nearest
// end, and no number the default of 15.
int referenceInterval(const QString &stored);

// One reference station as the run knows it.
struct ReferenceState
{
    QString callsign;
    QString lastSeqNo;                // of its last answer; empty before its first in the run
    std::optional<qint64> lastAsked;  // seconds since 1970 UTC; none before its first query
    int emptyAnswers = 0;             // answers in a row of exactly one line
};

// The references of the run, each with its own sequence number.
class ReferenceQueries
{
public:
    // The references to ask from now on; those asked before keep their
    // state, new ones start afresh (asked when the stored times say).
    void setCallsigns(const QStringList &callsigns);

    // When each was last asked, as the settings keep it across runs:
    // "K1ABC=1796637600,G4XYZ/P=1796637900". Restoring takes what it can
    // read of such a text, for the references set from then on.
    QString lastAskedText() const;
    void restoreLastAsked(const QString &text);
    const QList<ReferenceState> &references() const { return m_references; }

    // Which reference to ask at now (seconds since 1970 UTC), if any: of
    // those not asked within the interval (apart by the clock's reading
    // either way, as the own query's five minutes are), the one never asked,
    // then the one asked longest ago, the first of the list on a tie.
    std::optional<qsizetype> due(qint64 now, int intervalMinutes) const;

    // Its query is starting now: a failed one waits for its next turn like
    // any other. After three empty answers in a row it goes without its
    // sequence number, as the operator's own query does.
    void asked(qsizetype index, qint64 now);
    // Its answer came, of so many lines: the sequence number the answer gave
    // is sent with its next query; an answer without one (empty) keeps the
    // one before. By callsign: the list may have changed while the request
    // was out.
    void answered(const QString &callsign, const QString &lastSeqNo, qsizetype lines);

private:
    QList<ReferenceState> m_references;
    QHash<QString, qint64> m_stored; // last asked, as restored
};
