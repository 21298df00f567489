// The pass over an answer, with any answer and any three history files in
// the working folder. Nothing is lost: every line of the old report history
// and every new report of the operator is in the new history unless the
// 300-line limit cut it, and then it comes after the last line kept; the
// receivers and grid entries keep every old and new entry; the history has no
// twice-held line and is in order; and a second pass over the same answer
// changes no byte. The expected sequence number, receivers and grid entries
// come from plain readings of the rules of their own (namespace oracle).
//
// Input, as sections cut by "--8<--" lines: the callsign (a leading "*" asks
// for a real locale with collation), the answer, then TavikRpts.txt,
// TavikCalls.txt and Tavikgrids.txt; a missing section is a missing file.
#include "fuzzsupport.h"

#include "base/collationkey.h"
#include "base/filenames.h"
#include "processing/reportline.h"
#include "processing/reportorder.h"
#include "processing/responsepass.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <memory>

namespace {

void putFile(const QString &name, const QByteArrayList &parts, qsizetype index)
{
    QFile::remove(name);
    if (index >= parts.size())
        return;
    QFile file(name);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly));
    FUZZ_CHECK(file.write(parts.at(index)) == parts.at(index).size());
}

QByteArray fileBytes(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
}

// The lines of a file as the pass loads it: only a file with some bytes.
QStringList oldLines(const QByteArrayList &parts, qsizetype index)
{
    if (index >= parts.size() || parts.at(index).isEmpty())
        return {};
    return TextLines::splitLines(fuzzsupport::textOf(parts.at(index)));
}

QStringList savedLines(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return TextLines::splitLines(fuzzsupport::textOf(file.readAll()));
}

// A sorted history: strictly ascending, case ignored, and holding a line
// equal (case ignored) to every line it was given.
void checkSortedHistory(const QStringList &saved, const QStringList &given)
{
    const TextCollation compare(collatorIgnoringCase());
    for (qsizetype i = 0; i + 1 < saved.size(); ++i)
        FUZZ_CHECK(compare(saved.at(i), saved.at(i + 1)) < 0);
    for (const QString &line : given) {
        const auto found = std::lower_bound(saved.begin(), saved.end(), line,
                                            [&](const QString &a, const QString &b) { return compare(a, b) < 0; });
        FUZZ_CHECK(found != saved.end() && compare(*found, line) == 0);
    }
}

void checkReportHistory(const QStringList &saved, const QStringList &given, bool written)
{
    QSet<QString> distinct(given.begin(), given.end());
    if (!written) {
        FUZZ_CHECK(distinct.isEmpty());
        return;
    }
    FUZZ_CHECK(saved.size() == std::min<qsizetype>(distinct.size(), kReportHistoryLimit));
    FUZZ_CHECK(QSet<QString>(saved.begin(), saved.end()).size() == saved.size());
    TextLines order(TextLines::Unsorted);
    order.setLines(saved);
    for (qsizetype i = 0; i + 1 < saved.size(); ++i)
        FUZZ_CHECK(CompareDescending(order, i, i + 1) < 0);
    for (const QString &line : saved)
        FUZZ_CHECK(distinct.remove(line));
    // What the limit cut comes after the last line kept.
    for (const QString &dropped : std::as_const(distinct)) {
        order.setLines({saved.constLast(), dropped});
        FUZZ_CHECK(CompareDescending(order, 0, 1) < 0);
    }
}

// The reading rules once more, written plainly from their description and
// sharing no code with the pass, so that the expected values do not come
// from the functions under test.
namespace oracle {

// The value whose search text first occurs in the line, when its closing
// quote lies within the 50 characters that begin with the search text.
QString attribute(const QString &line, const QString &searchText)
{
    const qsizetype at = line.indexOf(searchText);
    if (at < 0)
        return {};
    const QString window = line.mid(at, 50);
    const qsizetype open = window.indexOf(u'"');
    const qsizetype close = window.indexOf(u'"', open + 1);
    return open < 0 || close < 0 ? QString() : window.mid(open + 1, close - open - 1);
}

QString trimmed(QString text)
{
    while (!text.isEmpty() && text.front().unicode() <= 32)
        text.remove(0, 1);
    while (!text.isEmpty() && text.back().unicode() <= 32)
        text.chop(1);
    return text;
}

// The 20 characters after the 27-character marker, up to a double quote.
QString sequenceNumber(const QString &line)
{
    const QString marker = u"<lastSequenceNumber value=\""_s;
    const qsizetype at = line.indexOf(marker);
    const QString after = line.mid(at + marker.size(), 20);
    const qsizetype quote = after.indexOf(u'"');
    return quote < 0 ? QString() : trimmed(after.left(quote));
}

QString gridEntry(const QString &line)
{
    return attribute(line, u"activeReceiver callsign=\""_s) + u',' + attribute(line, u"locator=\""_s).left(6);
}

} // namespace oracle

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static const auto folder = std::make_unique<QTemporaryDir>();
    if (!folder->isValid() || !QDir::setCurrent(folder->path()))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayList parts = fuzzsupport::sections(fuzzsupport::bytesOf(data, size));
    QString callsign = QString::fromUtf8(parts.at(0)).left(20);
    const bool collation = callsign.startsWith(u'*');
    if (collation)
        callsign.remove(0, 1);
    fuzzsupport::useRegional(collation);

    TextLines response(TextLines::Unsorted);
    if (parts.size() > 1)
        response.setText(fuzzsupport::textOf(parts.at(1)));
    putFile(files::kReports, parts, 2);
    putFile(files::kCalls, parts, 3);
    putFile(files::kGrids, parts, 4);

    // What the pass is given: the old files and the answer's examined lines.
    QStringList reports = oldLines(parts, 2);
    QStringList receivers = oldLines(parts, 3);
    QStringList grids = oldLines(parts, 4);
    bool sequenceSeen = false;
    QString sequence;
    const QStringList &lines = response.lines();
    const QString sender = search::kSenderMarker + callsign;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.contains(sender))
            reports << FormatReport(line);
        if (line.contains(u"<activeReceiver callsign=\""_s)) {
            receivers << oracle::attribute(line, u"activeReceiver callsign=\""_s);
            if (line.contains(u"locator=\""_s))
                grids << oracle::gridEntry(line);
        }
        if (line.contains(u"<lastSequenceNumber value=\""_s)) {
            sequenceSeen = true;
            sequence = oracle::sequenceNumber(line);
        }
    }

    TextLines gridList(TextLines::Sorted);
    const ResponsePassResult result = runResponsePass(response, callsign, gridList);
    FUZZ_CHECK(result.sequenceNumberSeen == sequenceSeen);
    FUZZ_CHECK(result.lastSeqNo == sequence);

    const bool reportsWritten = QFile::exists(files::kReports) && QFile(files::kReports).size() > 0;
    checkReportHistory(savedLines(files::kReports), reports, reportsWritten);
    checkSortedHistory(savedLines(files::kCalls), receivers);
    checkSortedHistory(savedLines(files::kGrids), grids);
    FUZZ_CHECK(gridList.lines() == savedLines(files::kGrids));

    // The same answer once more, as after every start, changes nothing.
    const QByteArray firstReports = fileBytes(files::kReports);
    const QByteArray firstCalls = fileBytes(files::kCalls);
    const QByteArray firstGrids = fileBytes(files::kGrids);
    TextLines freshGrids(TextLines::Sorted);
    runResponsePass(response, callsign, freshGrids);
    FUZZ_CHECK(fileBytes(files::kReports) == firstReports);
    FUZZ_CHECK(fileBytes(files::kCalls) == firstCalls);
    FUZZ_CHECK(fileBytes(files::kGrids) == firstGrids);
    return 0;
}
