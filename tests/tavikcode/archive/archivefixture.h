#pragma once

#include "archive/archivereader.h"
#include "archive/reportarchive.h"
#include "archive/sqlitedb.h"
#include "base/filenames.h"

#include "../../testsupport.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <limits>
#include <memory>
#include <vector>

namespace archivetest {

inline const QString kOperator = QStringLiteral("G4XYZ");

// 00:00 UTC on 7 December 2026.
inline constexpr qint64 kDay = 1796601600;

// A reception report of the answer, as the service writes it.
inline QString reception(const QString &receiver, qint64 seconds, const QString &frequency = QStringLiteral("14074000"),
                         const QString &sender = kOperator, const QString &snr = QStringLiteral("-5"))
{
    return QStringLiteral("<receptionReport receiverCallsign=\"%1\" receiverLocator=\"JO62qm\" "
                          "senderCallsign=\"%2\" senderLocator=\"IO91wm\" frequency=\"%3\" flowStartSeconds=\"%4\" "
                          "mode=\"FT8\" isSender=\"1\" receiverDXCC=\"Fed. Rep. of Germany\" "
                          "receiverDXCCCode=\"DL\" sNR=\"%5\" />")
        .arg(receiver, sender, frequency, QString::number(seconds), snr);
}

inline QString activeReceiver(const QString &callsign, const QString &locator)
{
    return QStringLiteral("<activeReceiver callsign=\"%1\" locator=\"%2\" frequency=\"7074000\" />")
        .arg(callsign, locator);
}

inline constexpr ArchivePeriod kAllTime{std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()};

inline std::vector<ArchivedReport> reportsIn(const QString &fileName, ArchivePeriod period = kAllTime)
{
    std::vector<ArchivedReport> reports;
    openArchiveReader(fileName)->forEachReport(period, [&](const ArchivedReport &r) { reports.push_back(r); });
    return reports;
}

// What the response pass reads of answer lines, for the archive.
inline QList<AnswerReport> readReports(const QStringList &lines)
{
    QList<AnswerReport> reports;
    for (const QString &line : lines)
        reports << answerReportOf(line);
    return reports;
}

inline QList<AnswerReceiver> readReceivers(const QStringList &lines)
{
    QList<AnswerReceiver> receivers;
    for (const QString &line : lines)
        receivers << answerReceiverOf(LineAttributes(line));
    return receivers;
}

} // namespace archivetest

// A report archive in the test's own folder, its worker waited for and its
// signals collected.
class ArchiveTest : public InTempFolder
{
protected:
    void SetUp() override
    {
        InTempFolder::SetUp();
        startArchive();
    }
    void TearDown() override
    {
        archive.reset();
        InTempFolder::TearDown();
    }

    // A new owner, as at the program's next start.
    void startArchive()
    {
        archive.reset();
        stored.clear();
        failures.clear();
        archive = std::make_unique<ReportArchive>();
        // The owner as context: the signals come queued from the worker.
        QObject::connect(archive.get(), &ReportArchive::stored, archive.get(), [this](int n) { stored.push_back(n); });
        QObject::connect(archive.get(), &ReportArchive::failed, archive.get(),
                         [this](const QString &m) { failures << m; });
    }

    QString fileName() const { return path(files::kArchive); }

    // Waits for the worker and takes in the signals it sent.
    void settle()
    {
        archive->waitForIdle();
        QCoreApplication::sendPostedEvents();
    }

    void open(QList<ArchivedReport> oldHistory = {})
    {
        archive->open({fileName(), std::move(oldHistory), QDateTime(QDate(2026, 12, 9), QTime(14, 30), Qt::LocalTime)});
        settle();
    }

    void pass(const QStringList &reports, const QStringList &receivers = {}, qint64 arrived = archivetest::kDay)
    {
        archive->store({archivetest::readReports(reports), archivetest::readReceivers(receivers), arrived, QDateTime::fromSecsSinceEpoch(arrived + 5, Qt::UTC)});
        settle();
    }

    std::vector<ArchivedReport> reports() const { return archivetest::reportsIn(fileName()); }

    std::unique_ptr<ReportArchive> archive;
    std::vector<int> stored;
    QStringList failures;
};
