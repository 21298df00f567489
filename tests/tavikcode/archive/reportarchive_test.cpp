#include "archivefixture.h"

#include "archive/archiveschema.h"
#include "archive/archivestore.h"
#include "archive/pendingjournal.h"

#include <QDir>
#include <QScopeGuard>

using namespace archivetest;

namespace {

struct ReceiverRow
{
    QString callsign;
    QString locator;
    qint64 firstSeen;
    qint64 lastSeen;
    bool operator==(const ReceiverRow &) const = default;
};

std::vector<ReceiverRow> receiverRows(const QString &fileName)
{
    SqliteDb db(fileName, SqliteDb::ReadOnly);
    Statement s(db, "SELECT callsign, locator, first_seen, last_seen FROM receiver ORDER BY callsign, locator");
    std::vector<ReceiverRow> rows;
    while (s.step())
        rows.push_back({s.text(0), s.text(1), s.integer(2), s.integer(3)});
    return rows;
}

ArchivedReport historyReport(const QString &receiver, qint64 seconds, const QString &band = "20m"_qs)
{
    ArchivedReport r;
    r.flowStartSeconds = seconds;
    r.sender = kOperator;
    r.receiver = receiver;
    r.locator = "JO62"_qs;
    r.band = band;
    r.mode = "FT8"_qs;
    r.snr = -5;
    r.snrText = "-5"_qs;
    r.dxcc = "Germany"_qs;
    r.storedAt = 1000;
    return r;
}

} // namespace

TEST_F(ArchiveTest, AReportIsStoredWithEveryFieldAsServedAndCountsOnce)
{
    open();
    const QString line = reception("DL1ABC"_qs, kDay + 3600, "14074123"_qs, "G4XYZ/P"_qs, "-12"_qs);
    pass({line});
    pass({line}); // the same answer again, as after every activation
    EXPECT_EQ(stored, (std::vector<int>{1, 0}));
    const auto all = reports();
    ASSERT_EQ(all.size(), 1u);
    const ArchivedReport &r = all.front();
    EXPECT_EQ(r.flowStartSeconds, kDay + 3600);
    EXPECT_EQ(r.sender, "G4XYZ/P"_qs);
    EXPECT_EQ(r.receiver, "DL1ABC"_qs);
    EXPECT_EQ(r.locator, "JO62qm"_qs);
    EXPECT_EQ(r.frequency, 14074123);
    EXPECT_EQ(r.band, "20m"_qs);
    EXPECT_EQ(r.mode, "FT8"_qs);
    EXPECT_EQ(r.snr, -12);
    EXPECT_EQ(r.snrText, "-12"_qs);
    EXPECT_EQ(r.dxcc, "Fed. Rep. of Germany"_qs);
    EXPECT_EQ(r.storedAt, kDay + 5); // the first pass's time, not the repeat's
    EXPECT_TRUE(failures.isEmpty());
}

TEST_F(ArchiveTest, SenderReceiverTimeFrequencyAndModeMakeAReport)
{
    open();
    const qint64 t = kDay + 60;
    pass({reception("DL1ABC"_qs, t), reception("DL1ABC"_qs, t, "14074001"_qs), reception("K1JT"_qs, t),
          reception("DL1ABC"_qs, t + 15), reception("DL1ABC"_qs, t, "14074000"_qs, "G4XYZ/P"_qs),
          reception("DL1ABC"_qs, t).replace("mode=\"FT8\""_qs, "mode=\"FT4\""_qs),
          // A frequency that is no number twice is one report, as is the same sNR served otherwise.
          reception("DL1ABC"_qs, t, "n/a"_qs), reception("DL1ABC"_qs, t, "unknown"_qs),
          reception("DL1ABC"_qs, t, "14074000"_qs, kOperator, "-7"_qs)});
    EXPECT_EQ(stored, std::vector<int>{7});
    EXPECT_EQ(reports().size(), 7u);
}

TEST_F(ArchiveTest, AnActiveReceiverKeepsOneRowPerLocatorFromFirstToLastSeen)
{
    open();
    pass({}, {activeReceiver("DL1ABC"_qs, "JO62qm"_qs), activeReceiver("K1JT"_qs, "FN20qi12AB99"_qs)}, kDay);
    pass({}, {activeReceiver("dl1abc"_qs, "JO62QM"_qs)}, kDay + 300);
    pass({}, {activeReceiver("DL1ABC"_qs, "JO63ab"_qs)}, kDay + 600);
    // The stored answer processed again: seen when it arrived, not now.
    pass({}, {activeReceiver("DL1ABC"_qs, "JO62qm"_qs)}, kDay);
    const std::vector<ReceiverRow> expected = {
        {"DL1ABC"_qs, "JO62qm"_qs, kDay, kDay + 300},
        {"DL1ABC"_qs, "JO63ab"_qs, kDay + 600, kDay + 600},
        {"K1JT"_qs, "FN20qi12AB"_qs, kDay, kDay},
    };
    EXPECT_EQ(receiverRows(fileName()), expected);
    EXPECT_EQ(stored, (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(ArchiveTest, APassBeforeTheArchiveIsOpenedIsNotKept)
{
    pass({reception("DL1ABC"_qs, kDay)});
    EXPECT_FALSE(QFile::exists(fileName()));
    open();
    pass({reception("K1JT"_qs, kDay)});
    EXPECT_EQ(stored, std::vector<int>{1});
    const auto all = reports();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all.front().receiver, "K1JT"_qs);
}

TEST_F(ArchiveTest, TheOldHistoryGoesIntoANewArchiveAndServedReportsReplaceIt)
{
    open({historyReport("DL1ABC"_qs, kDay + 60), historyReport("K1JT"_qs, kDay + 120),
          historyReport("K1JT"_qs, kDay + 120)});
    EXPECT_EQ(stored, std::vector<int>{2});

    // The same receptions served: one replaces its imported row, keeping the
    // time it was first stored; a new one is added.
    pass({reception("DL1ABC"_qs, kDay + 60, "14074123"_qs, "G4XYZ/P"_qs), reception("VK2XYZ"_qs, kDay + 60)});
    pass({reception("DL1ABC"_qs, kDay + 60, "14074123"_qs, "G4XYZ/P"_qs)});
    EXPECT_EQ(stored, (std::vector<int>{2, 2, 0}));
    auto all = reports();
    ASSERT_EQ(all.size(), 3u);
    std::sort(all.begin(), all.end(), [](const auto &a, const auto &b) { return a.receiver < b.receiver; });
    EXPECT_EQ(all[0].receiver, "DL1ABC"_qs);
    EXPECT_EQ(all[0].sender, "G4XYZ/P"_qs);
    EXPECT_EQ(all[0].frequency, 14074123);
    EXPECT_EQ(all[0].locator, "JO62qm"_qs);
    EXPECT_EQ(all[0].dxcc, "Fed. Rep. of Germany"_qs);
    EXPECT_EQ(all[0].storedAt, 1000);
    EXPECT_EQ(all[1].receiver, "K1JT"_qs);
    EXPECT_EQ(all[1].frequency, std::nullopt);

    // A served report of another band is another reception.
    pass({reception("K1JT"_qs, kDay + 120, "7074000"_qs)});
    EXPECT_EQ(reports().size(), 4u);

    // At the next start only what the archive lacks of the history is added.
    startArchive();
    open({historyReport("ZL1AA"_qs, kDay), historyReport("K1JT"_qs, kDay + 120)});
    EXPECT_EQ(stored, std::vector<int>{1});
    EXPECT_EQ(reports().size(), 5u);
}

TEST_F(ArchiveTest, ADamagedArchiveIsSetAsideAndANewOneStarted)
{
    struct Case { const char *name; std::function<void(const QString &)> damage; };
    const Case cases[] = {
        {"garbage", [](const QString &file) {
             writeBytes(file, QByteArray(10000, 'x'));
             writeBytes(file + "-wal"_qs, "stale");
         }},
        {"fails quick_check", [](const QString &file) {
             // Every page of the tables overwritten; the first, with the schema, kept.
             QFile f(file);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             const QByteArray bytes = f.readAll();
             f.seek(4096);
             f.write(QByteArray(bytes.size() - 4096, char(0xA5)));
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QDir().remove(fileName());
        startArchive();
        open();
        QStringList lines;
        for (int i = 0; i < 500; ++i)
            lines << reception("DL"_qs + QString::number(i), kDay + i);
        pass(lines);
        archive.reset(); // the program ends
        c.damage(fileName());
        const QByteArray damaged = readBytes(fileName());

        startArchive();
        open({historyReport("K1JT"_qs, kDay)});
        const QString aside = path("TavikArchive-damaged-20261209-143000.sqlite"_qs);
        ASSERT_EQ(failures.size(), 1);
        EXPECT_TRUE(failures.front().contains("TavikArchive-damaged-20261209-143000.sqlite"_qs)) << failures.front().toStdString();
        EXPECT_EQ(readBytes(aside), damaged);
        if (std::string(c.name) == "garbage") {
            EXPECT_EQ(readBytes(aside + "-wal"_qs), QByteArray("stale"));
        }
        // The new archive took the old history and takes the next pass.
        EXPECT_EQ(stored, std::vector<int>{1});
        pass({reception("VK2XYZ"_qs, kDay)});
        EXPECT_EQ(reports().size(), 2u);
        EXPECT_EQ(failures.size(), 1);
        archive.reset();
        for (const QString &name : QDir().entryList({"TavikArchive-damaged-*"_qs}))
            QFile::remove(name);
    }
}

TEST_F(ArchiveTest, TwoDamagedArchivesInOneSecondKeepBothNames)
{
    const QDateTime now(QDate(2026, 12, 9), QTime(14, 30), Qt::LocalTime);
    writeBytes(path("TavikArchive-damaged-20261209-143000.sqlite"_qs), "first");
    EXPECT_EQ(ArchiveStore::setAsideName(fileName(), now), path("TavikArchive-damaged-20261209-143000-2.sqlite"_qs));
}

TEST_F(ArchiveTest, AnArchiveOfANewerVersionIsLeftAsItIs)
{
    {
        SqliteDb db(fileName(), SqliteDb::ReadWrite);
        db.exec(QByteArray("CREATE TABLE later (x); PRAGMA user_version = "
                           + QByteArray::number(kArchiveSchemaVersion + 1))
                    .constData());
    }
    const QByteArray before = readBytes(fileName());
    open();
    pass({reception("DL1ABC"_qs, kDay)});
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures.front().contains("newer version"_qs)) << failures.front().toStdString();
    EXPECT_TRUE(stored.empty());
    archive.reset();
    EXPECT_EQ(readBytes(fileName()), before);
}

TEST_F(ArchiveTest, ALockedArchiveIsToldOnceAndCatchesUpWhenFree)
{
    open();
    pass({reception("DL1ABC"_qs, kDay)});
    {
        // Another program holds the write lock past the writer's patience.
        SqliteDb other(fileName(), SqliteDb::ReadWrite);
        other.exec("BEGIN IMMEDIATE");
        pass({reception("K1JT"_qs, kDay)}, {activeReceiver("K1JT"_qs, "FN20"_qs)});
        pass({reception("VK2XYZ"_qs, kDay)});
        ASSERT_EQ(failures.size(), 1);
        EXPECT_TRUE(failures.front().contains("locked"_qs)) << failures.front().toStdString();
        EXPECT_EQ(stored, std::vector<int>{1});
        other.exec("ROLLBACK");
    }
    // What the worker's timer does once a minute.
    archive->retry();
    settle();
    EXPECT_EQ(stored, (std::vector<int>{1, 2}));
    EXPECT_EQ(reports().size(), 3u);
    EXPECT_EQ(receiverRows(fileName()).size(), 1u);
    EXPECT_EQ(failures.size(), 1);
}

TEST_F(ArchiveTest, TheArchiveIsInWriteAheadLogModeWithItsVersionAndAViewForPeople)
{
    open();
    pass({reception("DL1ABC"_qs, kDay + 61), reception("K1JT"_qs, kDay, "n/a"_qs)});
    SqliteDb db(fileName(), SqliteDb::ReadOnly);
    EXPECT_EQ(db.integer("PRAGMA user_version"), kArchiveSchemaVersion);
    EXPECT_EQ(db.text("PRAGMA journal_mode"), "wal"_qs);
    Statement view(db, "SELECT time, receiver, frequency FROM reports ORDER BY flow_start");
    ASSERT_TRUE(view.step());
    EXPECT_EQ(view.text(0), "2026-12-07 00:00:00"_qs);
    EXPECT_TRUE(view.isNull(2));
    ASSERT_TRUE(view.step());
    EXPECT_EQ(view.text(0), "2026-12-07 00:01:01"_qs);
    EXPECT_EQ(view.integer(2), 14074000);
}

namespace {

struct Row
{
    QString receiver;
    QString band;
    std::optional<qint64> frequency;
    bool operator==(const Row &) const = default;
};

void PrintTo(const Row &r, std::ostream *os)
{
    *os << r.receiver.toStdString() << ' ' << r.band.toStdString() << ' '
        << (r.frequency ? std::to_string(*r.frequency) : "none");
}

std::vector<Row> rows(const QString &fileName)
{
    std::vector<Row> all;
    for (const ArchivedReport &r : reportsIn(fileName))
        all.push_back({r.receiver, r.band, r.frequency});
    std::sort(all.begin(), all.end(), [](const Row &a, const Row &b) {
        return std::tie(a.receiver, a.band) < std::tie(b.receiver, b.band);
    });
    return all;
}

} // namespace

TEST_F(ArchiveTest, EveryOpenAddsWhatTheArchiveLacksOfTheHistory)
{
    const QString longCall = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"_qs; // the history's window reads no callsign
    open();
    pass({reception("DL1ABC"_qs, kDay, "136000"_qs), reception("K1JT"_qs, kDay), reception(longCall, kDay)});
    ASSERT_EQ(reports().size(), 3u);

    // An older history copied in: the same receptions as the history names
    // them (136 kHz is "630m" there), and two it alone holds.
    const QList<ArchivedReport> history = {
        historyReport("DL1ABC"_qs, kDay, "630m"_qs), historyReport("K1JT"_qs, kDay, "20m"_qs),
        historyReport(QString(), kDay, "20m"_qs),    historyReport("K1JT"_qs, kDay, "40m"_qs),
        historyReport("VK2XYZ"_qs, kDay + 60, "20m"_qs),
    };
    startArchive();
    open(history);
    EXPECT_EQ(stored, std::vector<int>{2});
    const std::vector<Row> expected = {
        {longCall, "20m"_qs, 14074000},   {"DL1ABC"_qs, "2200m"_qs, 136000}, {"K1JT"_qs, "20m"_qs, 14074000},
        {"K1JT"_qs, "40m"_qs, std::nullopt}, {"VK2XYZ"_qs, "20m"_qs, std::nullopt},
    };
    EXPECT_EQ(rows(fileName()), expected);

    // And again: nothing more.
    startArchive();
    open(history);
    EXPECT_EQ(stored, std::vector<int>{0});
    EXPECT_EQ(rows(fileName()), expected);
}

TEST_F(ArchiveTest, ImportedReportsOfTwoBandsInOneSecondStayTwo)
{
    open({historyReport("K1JT"_qs, kDay, "20m"_qs), historyReport("K1JT"_qs, kDay, "40m"_qs)});
    EXPECT_EQ(stored, std::vector<int>{2});
    // The served 40 m report takes the place of its imported row only.
    pass({reception("K1JT"_qs, kDay, "7074000"_qs)});
    const std::vector<Row> expected = {{"K1JT"_qs, "20m"_qs, std::nullopt}, {"K1JT"_qs, "40m"_qs, 7074000}};
    EXPECT_EQ(rows(fileName()), expected);
}

// Done when: a pass stored while another connection holds the archive's
// write lock is in the archive after closing and starting again, whole.
TEST_F(ArchiveTest, ReportsWaitingForALockedArchiveSurviveClosing)
{
    const QString journal = path("TavikArchive-pending.txt"_qs);
    open();
    const QStringList lines = {reception("DL1ABC"_qs, kDay, "14074123"_qs), reception("K1JT"_qs, kDay, "7074000"_qs)};
    const QDateTime start = QDateTime::fromSecsSinceEpoch(kDay - 5, Qt::UTC);
    const Transmission transmission{start, start.addMSecs(12'640), 14'074'000, "20m"_qs, "FT8"_qs, 1500};
    {
        SqliteDb other(fileName(), SqliteDb::ReadWrite);
        other.exec("BEGIN IMMEDIATE");
        pass(lines, {activeReceiver("K1JT"_qs, "FN20qi"_qs)});
        ASSERT_EQ(failures.size(), 1);
        archive->storeTransmission(transmission);
        settle();
        // Written at the failure, before any closing: a crash keeps it too.
        EXPECT_TRUE(QFile::exists(journal));
        archive.reset(); // the program closes
        other.exec("ROLLBACK");
    }
    EXPECT_TRUE(reports().empty());

    startArchive();
    open();
    EXPECT_EQ(stored, std::vector<int>{2});
    const auto all = reports();
    ASSERT_EQ(all.size(), 2u);
    for (const ArchivedReport &r : all) {
        EXPECT_EQ(r.locator, "JO62qm"_qs);
        EXPECT_EQ(r.frequency, r.receiver == "K1JT"_qs ? 7074000 : 14074123);
        EXPECT_EQ(r.storedAt, kDay + 5);
    }
    EXPECT_EQ(receiverRows(fileName()).size(), 1u);
    EXPECT_FALSE(QFile::exists(journal));
    EXPECT_TRUE(failures.isEmpty());
    // The transmission waited with them; the 20 m report belongs to it, the 40 m one not.
    const QList<TransmissionSummary> kept = openArchiveReader(fileName())->transmissions(10, "IO91wm"_qs);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept[0].transmission, transmission);
    EXPECT_EQ(kept[0].receivers, 1);
    EXPECT_EQ(kept[0].farthestCallsign, "DL1ABC"_qs);
    EXPECT_EQ(kept[0].medianSnr, std::optional<double>(-5));
}

// A reference station's answer: only its own lines, by the whole sender,
// and only in reference_report; waiting for a locked archive as the
// operator's reports do, in the journal's F lines.
TEST_F(ArchiveTest, AReferencesAnswerKeepsOnlyItsOwnReportsInTheirTableAndWaitsLikeTheOperators)
{
    const QString journal = path("TavikArchive-pending.txt"_qs);
    open();
    const QList<AnswerReport> answer = readReports({reception("DL1ABC"_qs, kDay, "14074000"_qs, "k1abc"_qs),
                                                    reception("K1JT"_qs, kDay, "7074000"_qs, "K1ABC/P"_qs),
                                                    reception("VK2XYZ"_qs, kDay + 15, "14074000"_qs, kOperator),
                                                    activeReceiver("K1JT"_qs, "FN20qi"_qs)});
    {
        SqliteDb other(fileName(), SqliteDb::ReadWrite);
        other.exec("BEGIN IMMEDIATE");
        archive->store({.reports = answer, .receivers = {}, .answerArrived = kDay,
                        .now = QDateTime::fromSecsSinceEpoch(kDay + 5, Qt::UTC), .referenceCallsign = "K1ABC"_qs});
        settle();
        ASSERT_EQ(failures.size(), 1);
        EXPECT_TRUE(readBytes(journal).contains("\r\nF\t"));
        archive.reset();
        other.exec("ROLLBACK");
    }
    startArchive();
    std::vector<int> references;
    QObject::connect(archive.get(), &ReportArchive::referencesStored, archive.get(),
                     [&](int n) { references.push_back(n); });
    open();
    EXPECT_EQ(references, std::vector<int>{1});
    EXPECT_EQ(stored, std::vector<int>{0});
    EXPECT_TRUE(reports().empty());
    EXPECT_TRUE(receiverRows(fileName()).empty());
    SqliteDb db(fileName(), SqliteDb::ReadOnly);
    EXPECT_EQ(db.text("SELECT group_concat(sender || ' ' || receiver || ' ' || band) FROM reference_report"),
              "K1ABC DL1ABC 20m"_qs);
    EXPECT_FALSE(QFile::exists(journal));
    archive.reset(); // before the list its signal fills
}

TEST_F(ArchiveTest, WhenNeitherArchiveNorJournalCanBeWrittenTheReportsWaitInMemoryAndClosingStoresThem)
{
    open();
    ASSERT_TRUE(QDir().mkdir(path("TavikArchive-pending.txt"_qs))); // no file can take its place
    auto other = std::make_unique<SqliteDb>(fileName(), SqliteDb::ReadWrite);
    other->exec("BEGIN IMMEDIATE");
    pass({reception("DL1ABC"_qs, kDay)});
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures.front().contains("closing the program now would lose them"_qs))
        << failures.front().toStdString();
    other.reset();
    archive->finish();
    EXPECT_EQ(reports().size(), 1u);
}

TEST_F(ArchiveTest, ADamagedJournalIsSetAsideAndToldOnce)
{
    const QByteArray damaged = "TavikArchive-pending 1\r\nR\t1\tG4XYZ\r\n";
    writeBytes(path("TavikArchive-pending.txt"_qs), damaged);
    // A whole segment after it is stored, and only its reports were told waiting.
    PendingJournal(path("TavikArchive-pending-2.txt"_qs)).append({historyReport("K1JT"_qs, kDay)}, {});
    std::vector<qint64> waiting;
    QObject::connect(archive.get(), &ReportArchive::waiting, archive.get(), [&](qint64 n) { waiting.push_back(n); });
    open();
    pass({reception("DL1ABC"_qs, kDay)});
    EXPECT_EQ(waiting, (std::vector<qint64>{1, 0}));
    EXPECT_EQ(reports().size(), 2u);
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures.front().contains("TavikArchive-pending-damaged-20261209-143000.txt"_qs))
        << failures.front().toStdString();
    EXPECT_EQ(readBytes(path("TavikArchive-pending-damaged-20261209-143000.txt"_qs)), damaged);
    EXPECT_TRUE(PendingJournal(path("TavikArchive-pending.txt"_qs)).segments().isEmpty());
}

// Done when: a failed store writes its own records alone, as a segment of
// the journal of its own; what waited before stays as it was written.
TEST_F(ArchiveTest, EachFailedStoreAddsOnlyItsOwnRecordsToTheJournal)
{
    ArchiveStore::setBusyTimeout(50);
    const auto patient = qScopeGuard([] { ArchiveStore::setBusyTimeout(2000); });
    std::vector<qint64> waiting;
    QObject::connect(archive.get(), &ReportArchive::waiting, archive.get(), [&](qint64 n) { waiting.push_back(n); });
    const PendingJournal journal(path("TavikArchive-pending.txt"_qs));
    open();
    auto other = std::make_unique<SqliteDb>(fileName(), SqliteDb::ReadWrite);
    other->exec("BEGIN IMMEDIATE");
    QList<QByteArray> written;
    for (int i = 0; i < 4; ++i) {
        pass({reception("DL1ABC"_qs, kDay + i * 300)}, {}, kDay + i * 300);
        const QStringList segments = journal.segments();
        ASSERT_EQ(segments.size(), i + 1);
        for (int k = 0; k < i; ++k)
            EXPECT_EQ(readBytes(segments[k]), written[k]);
        written << readBytes(segments.last());
        EXPECT_LT(written.last().size(), 300) << "one report's record";
    }
    EXPECT_EQ(waiting, (std::vector<qint64>{1, 2, 3, 4}));
    other.reset();
    archive->retry();
    settle();
    EXPECT_EQ(reports().size(), 4u);
    EXPECT_TRUE(journal.segments().isEmpty());
    EXPECT_EQ(waiting.back(), 0);
}
