#pragma once

#include <QString>
#include <QStringView>
#include <QVarLengthArray>

// The report line: one reception report of the service's answer turned into
// the seven fields of a line of the report history (time, receiving station,
// signal report, band, mode, locator, DXCC value), each closed by a comma and
// blanks. The list, table and find views show and cut these lines as they
// stand, so the characters written here are the history file's format.

// Search texts: an attribute name, an equals sign and a double quote. The
// search is plain and case-sensitive, and the first occurrence counts, also
// when it is the tail of a longer attribute name.
namespace search {
inline const QString kFlowStartSeconds = QStringLiteral("flowStartSeconds=\"");
inline const QString kReceiverCallsign = QStringLiteral("receiverCallsign=\"");
inline const QString kSnr = QStringLiteral("sNR=\"");
inline const QString kFrequency = QStringLiteral("frequency=\"");
inline const QString kMode = QStringLiteral("mode=\"");
inline const QString kReceiverLocator = QStringLiteral("receiverLocator=\"");
inline const QString kDxcc = QStringLiteral("DXCC=\"");
inline const QString kActiveReceiverCallsign = QStringLiteral("activeReceiver callsign=\"");
inline const QString kLocator = QStringLiteral("locator=\"");

// Markers that tell what a line of the answer holds.
inline const QString kSenderMarker = QStringLiteral("senderCallsign=\"");
inline const QString kActiveReceiverMarker = QStringLiteral("<activeReceiver callsign=\"");
inline const QString kSequenceMarker = QStringLiteral("<lastSequenceNumber value=");
} // namespace search

// Index of the first occurrence of a search text or marker in a line (plain,
// case-sensitive), or -1. The same as QStringView::indexOf, only faster for
// the short texts of the answer's lines.
qsizetype findSearchText(QStringView line, QStringView searchText);

// The attribute values of one line, read as findSearchText and ReadAttribute
// read them, for a line whose several attributes are wanted: the places of
// '=' are found once, so that each search text need not scan the line from
// its start. Every search text holds a '='. The line must outlive this.
class LineAttributes
{
public:
    explicit LineAttributes(QStringView line);

    qsizetype find(QStringView searchText) const;
    QStringView value(QStringView searchText) const;
    // The value read whole, up to its closing double quote (none: empty) and
    // at most kMaxWholeValue characters: the 50-character window belongs to
    // the history's line and would cut a 32-character callsign to nothing.
    QStringView wholeValue(QStringView searchText) const;

    // Longer values are cut to this: no callsign, locator, mode or entity
    // name comes near it, and an answer gone wrong cannot fill the archive
    // with rows of megabytes.
    static constexpr qsizetype kMaxWholeValue = 256;

private:
    QStringView m_line;
    QVarLengthArray<qsizetype, 32> m_at;
};

// The value of the attribute whose search text first occurs in the line: the
// text up to the next double quote, provided that quote lies within the 50
// characters that begin with the search text. Anything else reads as empty.
QString ReadAttribute(const QString &line, const QString &searchText);

// "ddmmmyyyy hh:nn:ss" (UTC, regional month names and time separator) of a
// whole number of seconds since 1970; the date alone at exactly midnight.
// Empty for text that is no whole number or an instant outside the years
// 1 to 9999.
QString FormatFlowTime(const QString &seconds);

// The band name of a frequency in hertz ("20m", "0m" outside the table).
// Empty for text that is no number.
QString FrequencyToBand(const QString &hertz);

// The place of a band name in the band table, from 0 for "630m" up to
// "3cm"; "0m" and any other text come after every band of the table.
int bandRank(QStringView bandName);

// The report line of one reception report of the answer.
QString FormatReport(const QString &line);
QString FormatReport(const LineAttributes &attributes);

// One reception report of the answer with every value read whole (see
// LineAttributes::wholeValue), as the report archive keeps it.
struct AnswerReport
{
    QString flowStartSeconds;
    QString sender;
    QString receiver;
    QString locator;
    QString frequency;
    QString mode;
    QString snr;
    QString dxcc;
};

// One active receiver of the answer, its values read whole.
struct AnswerReceiver
{
    QString callsign;
    QString locator;
};

AnswerReport answerReportOf(const LineAttributes &attributes);
AnswerReport answerReportOf(const QString &line);
AnswerReceiver answerReceiverOf(const LineAttributes &attributes);
