#include "responsepass.h"

#include "base/filenames.h"
#include "base/fileutil.h"
#include "reportline.h"
#include "reportorder.h"
#include "base/textops.h"

#include <algorithm>

namespace {

constexpr qsizetype kSequenceWindow = 20;

const QString &quotedSequenceMarker()
{
    static const QString marker = search::kSequenceMarker + u'"';
    return marker;
}

} // namespace

void AddGridEntry(const QString &line, TextLines &gridList)
{
    AddGridEntry(LineAttributes(line), gridList);
}

void AddGridEntry(const LineAttributes &attributes, TextLines &gridList)
{
    const QStringView callsign = attributes.value(search::kActiveReceiverCallsign);
    const QStringView locator = attributes.value(search::kLocator);
    gridList.add(callsign.toString() + u',' + locator.left(6));
}

void PruneReports(TextLines &reports)
{
    const QStringList &lines = reports.lines();
    QStringList kept;
    kept.reserve(std::min(lines.size(), kReportHistoryLimit));
    for (qsizetype i = 0; i < lines.size() && kept.size() < kReportHistoryLimit; ++i) {
        if (kept.isEmpty() || kept.constLast() != lines.at(i))
            kept << lines.at(i);
    }
    reports.setLines(kept);
}

QString readSequenceNumber(const QString &line)
{
    const QString &marker = quotedSequenceMarker();
    const qsizetype at = findSearchText(line, marker);
    if (at < 0)
        return {};
    const QStringView window = QStringView(line).mid(at + marker.size(), kSequenceWindow);
    const qsizetype close = window.indexOf(u'"');
    if (close < 0)
        return {};
    return textops::trim(window.left(close).toString());
}

ResponsePassResult runResponsePass(const TextLines &responseLines, const QString &matchedCallsign,
                                   TextLines &gridList)
{
    Q_ASSERT(gridList.order() == TextLines::Sorted);

    TextLines reports(TextLines::Unsorted);
    if (fileutil::isPresent(files::kReports))
        reports.loadFromFile(files::kReports);
    TextLines receivers(TextLines::Sorted);
    if (fileutil::isPresent(files::kCalls))
        receivers.loadFromFile(files::kCalls);
    // The grid list mostly holds just what the last pass wrote to the file;
    // then reading the file again would change nothing, and comparing its
    // bytes costs far less than reading 100,000 entries.
    if (fileutil::isPresent(files::kGrids)) {
        const QByteArray bytes = fileutil::readFile(files::kGrids);
        if (bytes != gridList.toBytes())
            gridList.setText(TextLines::decode(bytes));
    }

    ResponsePassResult result;
    const QString sender = search::kSenderMarker + matchedCallsign;
    // The last line closes the answer and is never examined.
    const QStringList &lines = responseLines.lines();
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QString &line = lines.at(i);
        const bool report = findSearchText(line, sender) >= 0;
        const bool activeReceiver = findSearchText(line, search::kActiveReceiverMarker) >= 0;
        if (report || activeReceiver) {
            const LineAttributes attributes(line);
            if (report) {
                reports.add(FormatReport(attributes));
                result.reports << answerReportOf(attributes);
            }
            if (activeReceiver && attributes.find(search::kLocator) >= 0)
                AddGridEntry(attributes, gridList);
            if (activeReceiver) {
                receivers.add(attributes.value(search::kActiveReceiverCallsign).toString());
                result.receivers << answerReceiverOf(attributes);
            }
        }
        // The value stands in double quotes; a line that writes it otherwise
        // carries no number and leaves the last one in force.
        if (findSearchText(line, quotedSequenceMarker()) >= 0) {
            result.sequenceNumberSeen = true;
            result.lastSeqNo = readSequenceNumber(line);
        }
    }

    gridList.saveToFile(files::kGrids);
    if (!reports.isEmpty()) {
        sortReportsDescending(reports);
        PruneReports(reports);
        reports.saveToFile(files::kReports);
    }
    receivers.saveToFile(files::kCalls);
    return result;
}
