// tavik-demo-archive FILE CALLSIGN LOCATOR [HOURS [REFERENCE]]: fills the
// report archive FILE with the demo station's reports of the last HOURS hours
// (24) up to the stretch that the program's first query brings itself, as if
// the program had been running all that time and asking every five minutes:
// the alert rules (with their default settings) judged every pass, so the
// archive knows what was heard and its alert list holds that day's alerts.
// With REFERENCE, also that reference station's reports (the second station
// beside the demo's), asked every fifteen minutes and never judged. The demo
// and the screenshots start from it, so that the Reach and Compare windows
// show a whole day.
#include "demoday.h"

#include "alerts/alertmonitor.h"
#include "archive/reportarchive.h"
#include "geo/locator.h"
#include "processing/reportline.h"
#include "base/textlines.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4 || args.size() > 6) {
        std::fputs("usage: tavik-demo-archive FILE CALLSIGN LOCATOR [HOURS [REFERENCE]]\n", stderr);
        return 2;
    }
    const QString callsign = args.at(2);
    const std::optional<demo::Day> day = demo::Day::forLocator(args.at(3));
    const int hours = args.size() >= 5 ? args.at(4).toInt() : 24;
    const QString reference = args.size() == 6 ? args.at(5).toUpper() : QString();
    if (!day || hours < 1 || hours > 24) {
        std::fputs("tavik-demo-archive: a locator of 4 to 10 characters and 1 to 24 hours, please\n", stderr);
        return 2;
    }

    ReportArchive archive;
    QString failure;
    QObject::connect(&archive, &ReportArchive::failed, &app, [&](const QString &message) { failure = message; });
    const QDateTime now = QDateTime::currentDateTimeUtc();
    AlertMonitor rules;
    const std::optional<GeoPosition> home = locatorPosition(args.at(3));
    archive.open({.fileName = QFileInfo(args.at(1)).absoluteFilePath(), .oldHistory = {}, .now = now,
                  .judge = rules.judge(AlertSettings(), home, false)});

    const QString sender = search::kSenderMarker + callsign;
    const qint64 end = now.toSecsSinceEpoch() - demo::firstWindowSeconds;
    qint64 at = now.toSecsSinceEpoch() - qint64(hours) * 3600;
    QString lastSeqNo = QString::number(day->lastSequenceAt(at));
    QString referenceSeqNo = lastSeqNo;
    for (at += 300; at <= end; at += 300) {
        if (!reference.isEmpty() && at % 900 < 300) {
            // Only the reference's own lines count, as the program takes them.
            TextLines answer;
            answer.setText(QString::fromUtf8(day->referenceAnswer(callsign, reference, referenceSeqNo, at)));
            QList<AnswerReport> reports;
            for (const QString &line : answer.lines()) {
                if (line.contains(search::kSenderMarker))
                    reports << answerReportOf(line);
            }
            archive.store({.reports = reports, .receivers = {}, .answerArrived = at,
                           .now = QDateTime::fromSecsSinceEpoch(at, Qt::UTC), .referenceCallsign = reference});
            referenceSeqNo = QString::number(day->lastSequenceAt(at));
        }
        TextLines answer;
        answer.setText(QString::fromUtf8(day->answer(callsign, lastSeqNo, at)));
        ArchivePass pass{.reports = {}, .receivers = {}, .answerArrived = at,
                         .now = QDateTime::fromSecsSinceEpoch(at, Qt::UTC),
                         .judge = rules.judge(AlertSettings(), home, false)};
        for (const QString &line : answer.lines()) {
            if (line.contains(sender))
                pass.reports << answerReportOf(line);
            if (line.contains(search::kActiveReceiverMarker))
                pass.receivers << answerReceiverOf(LineAttributes(line));
        }
        archive.store(std::move(pass));
        lastSeqNo = QString::number(day->lastSequenceAt(at));
    }
    archive.waitForIdle();
    QCoreApplication::sendPostedEvents();
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "tavik-demo-archive: %s\n", failure.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
