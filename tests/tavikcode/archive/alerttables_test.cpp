#include "archivefixture.h"

#include "alerts/alertmonitor.h"
#include "archive/archiveschema.h"
#include "archive/archivestore.h"
#include "archive/pendingjournal.h"

#include "../alerts/alertfixture.h"

#include <sqlite3.h>

namespace {

// A disk that fills inside a store's transaction: every connection opened
// after SetUp knows this function, and a trigger of the test's calls it.
void diskFull(sqlite3_context *context, int, sqlite3_value **)
{
    sqlite3_result_error_code(context, SQLITE_FULL);
}

int addDiskFull(sqlite3 *db, char **, const sqlite3_api_routines *)
{
    return sqlite3_create_function(db, "tavik_test_fault", 0, SQLITE_UTF8, nullptr, diskFull, nullptr,
                                   nullptr);
}

} // namespace

// The alert rules as the archive runs them: in every store's transaction,
// over the reports it added, with their state kept beside the reports.
class AlertTablesTest : public ArchiveTest
{
protected:
    void SetUp() override
    {
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(addDiskFull));
        ArchiveTest::SetUp();
        QObject::connect(&monitor, &AlertMonitor::judged, &monitor,
                         [this](const PassOutcome &o) { told << o.alerts; });
    }
    void TearDown() override
    {
        ArchiveTest::TearDown();
        sqlite3_reset_auto_extension();
    }

    static QString line(const alertfixture::Station &s, qint64 time, qint64 hertz = alertfixture::k20m)
    {
        return "<receptionReport receiverCallsign=\"%1\" receiverLocator=\"%2\" senderCallsign=\"G4XYZ\" "
               "frequency=\"%3\" flowStartSeconds=\"%4\" mode=\"FT8\" receiverDXCC=\"%5\" sNR=\"-9\" />"_qs
            .arg(QString::fromLatin1(s.call), QString::fromLatin1(s.locator))
            .arg(hertz)
            .arg(time)
            .arg(QString::fromUtf8(s.dxcc));
    }

    void openJudged()
    {
        archive->open({fileName(), {}, QDateTime::fromSecsSinceEpoch(alertfixture::kStart, Qt::UTC),
                       monitor.judge(settings, alertfixture::home(), true)});
        settle();
    }

    // A pass of the program, its rules handed over with it.
    void judged(const QStringList &lines, qint64 now, bool catchUp = false)
    {
        archive->store({archivetest::readReports(lines), {}, now, QDateTime::fromSecsSinceEpoch(now, Qt::UTC),
                        monitor.judge(settings, alertfixture::home(), catchUp)});
        settle();
    }

    QStringList toldTexts()
    {
        return alertfixture::texts(std::exchange(told, {}));
    }

    QList<Alert> list()
    {
        settle();
        return openArchiveReader(fileName())->alerts(100);
    }

    AlertSettings settings;
    AlertMonitor monitor;
    QList<Alert> told;
};

using namespace alertfixture;

TEST_F(AlertTablesTest, TheRulesStateSurvivesARestartAndNothingIsToldAgain)
{
    settings.opening = false;
    openJudged();
    judged({line(kBerlin, kStart - 600), line(kBoston, kStart - 300)}, kStart);
    const QStringList pass = {line(kBerlin, kStart + 60), line(kTokyo, kStart + 120)};
    judged(pass, kStart + 300);
    EXPECT_EQ(toldTexts(), (QStringList{"First look: 2 reports from 2 receivers in 2 DXCC entities on 1 band; "
                                        "farthest W1AW 5,265 km on 20m"_qs,
                                        "New DXCC entity: Japan, JA1ABC on 20m, 9,585 km (32°)"_qs,
                                        "20m distance record: JA1ABC 9,585 km (32°), before 5,265 km (W1AW)"_qs}));

    // At the next start the service sends the same reports again, and one new.
    startArchive();
    openJudged();
    judged(pass + QStringList{line(kSydney, kStart + 400)}, kStart + 600, true);
    EXPECT_EQ(toldTexts(), (QStringList{"New DXCC entity: Australia, VK2XYZ on 20m, 16,987 km (60°)"_qs,
                                        "20m distance record: VK2XYZ 16,987 km (60°), before 9,585 km (JA1ABC)"_qs}));
    judged(pass, kStart + 900);
    EXPECT_TRUE(toldTexts().isEmpty());

    // The list holds every alert, newest first, through the restart.
    const QList<Alert> kept = list();
    ASSERT_EQ(kept.size(), 5);
    EXPECT_EQ(kept.first().subject, "VK2XYZ"_qs); // told last of its second
    EXPECT_EQ(kept.last().rule, AlertRule::FirstLook);
    archive->clearAlerts();
    EXPECT_TRUE(list().isEmpty());
}

TEST_F(AlertTablesTest, AnArchiveOfVersion2LearnsWhatItHoldsAndItsFirstPassTellsOnlyWhatIsNew)
{
    {
        SqliteDb db(fileName(), SqliteDb::ReadWrite);
        Transaction transaction(db);
        migrateArchive(db, 2);
        Statement insert(db, R"sql(
            INSERT INTO report (flow_start, receiver, sender, mode, frequency, locator, band, snr, snr_text, dxcc,
                                stored_at, imported)
            VALUES (?1, ?2, 'G4XYZ', 'FT8', ?3, ?4, '10m', -9, '-9', ?5, 0, 0)
        )sql");
        // A year in which Tokyo and Sydney heard 10 m open four times a day, the last an hour ago.
        for (qint64 t = kStart - 3600 - 365 * 86400; t <= kStart - 3600; t += 86400 / 4) {
            for (const Station &s : {kTokyo, kSydney, kBerlin}) {
                insert.bind(1, t);
                insert.bind(2, QString::fromLatin1(s.call));
                insert.bind(3, k10m);
                insert.bind(4, QString::fromLatin1(s.locator));
                insert.bind(5, QString::fromUtf8(s.dxcc));
                insert.run();
            }
        }
        transaction.commit();
    }
    openJudged();
    {
        SqliteDb db(fileName(), SqliteDb::ReadOnly);
        EXPECT_EQ(db.integer("PRAGMA user_version"), kArchiveSchemaVersion);
        EXPECT_EQ(db.integer("SELECT count(*) FROM alert_entity"), 3);
        EXPECT_EQ(db.integer("SELECT last_judged FROM alert_state"), kStart - 3600);
        EXPECT_EQ(db.text("SELECT record_receiver FROM alert_band WHERE band = '10m'"), "VK2XYZ"_qs);
    }

    // The same stations on 10 m again are no news (no first look, no opening, no record); a new one is.
    judged({line(kTokyo, kStart, k10m), line(kSydney, kStart + 15, k10m), line(kCape, kStart + 30)}, kStart + 300,
           true);
    EXPECT_EQ(toldTexts(), QStringList{"New DXCC entity: South Africa, ZS1ABC on 20m, 9,602 km (164°)"_qs});
}

TEST_F(AlertTablesTest, AStoreThatFailsLeavesTheStateAndTheListAsTheyWere)
{
    openJudged();
    judged({line(kBerlin, kStart - 60)}, kStart);
    toldTexts();
    // The alerts are the store's last rows: it fails with everything else written.
    SqliteDb(fileName(), SqliteDb::ReadWrite)
        .exec("CREATE TRIGGER disk_full AFTER INSERT ON alert BEGIN SELECT tavik_test_fault(); END");
    judged({line(kTokyo, kStart + 60)}, kStart + 300);
    EXPECT_EQ(failures.size(), 1);
    EXPECT_TRUE(toldTexts().isEmpty());
    EXPECT_EQ(list().size(), 1);

    // Stored at last, the reports are judged then, as new as before.
    SqliteDb(fileName(), SqliteDb::ReadWrite).exec("DROP TRIGGER disk_full");
    archive->retry();
    settle();
    EXPECT_EQ(toldTexts(), (QStringList{"New DXCC entity: Japan, JA1ABC on 20m, 9,585 km (32°)"_qs,
                                        "20m distance record: JA1ABC 9,585 km (32°), before 932 km (DL1ABC)"_qs}));
    EXPECT_EQ(list().size(), 3);
}

TEST_F(AlertTablesTest, SilenceIsToldOnAPassThatAddedNoReport)
{
    settings.silence = true;
    openJudged();
    judged({line(kBerlin, kStart - 300), line(kBoston, kStart - 120)}, kStart);
    toldTexts();
    judged({}, kStart - 120 + 3599);
    EXPECT_TRUE(toldTexts().isEmpty());
    judged({line(kBoston, kStart - 120)}, kStart - 120 + 3600); // served again: nothing new
    EXPECT_EQ(toldTexts(), QStringList{"No report for 60 minutes: the last was at 11:58 UTC"_qs});
    EXPECT_EQ(list().first().rule, AlertRule::Silence);
}

// A reference station's answer is no pass of the operator's: its receivers,
// new entities and records as they would be for the operator, tell nothing
// and count in none of the tray's figures, also when they waited in the
// journal beside a pass of the operator's.
TEST_F(AlertTablesTest, AReferenceStationsReportsAreNeverJudged)
{
    std::vector<qsizetype> served;
    QObject::connect(&monitor, &AlertMonitor::judged, &monitor,
                     [&](const PassOutcome &o) { served.push_back(o.reports); });
    const auto ofReference = [](QString line) { return line.replace("\"G4XYZ\""_qs, "\"G4XYZ/P\""_qs); };
    const auto answerForReference = [&](const QStringList &lines, qint64 now) {
        archive->store({archivetest::readReports(lines), {}, now, QDateTime::fromSecsSinceEpoch(now, Qt::UTC), nullptr, "G4XYZ/P"_qs});
    };
    openJudged();
    judged({line(kBerlin, kStart - 60)}, kStart);
    toldTexts();
    served.clear();
    const qsizetype listed = list().size();

    answerForReference({ofReference(line(kTokyo, kStart + 60)), ofReference(line(kSydney, kStart + 90))},
                       kStart + 120);
    settle();
    EXPECT_TRUE(toldTexts().isEmpty());
    EXPECT_TRUE(served.empty()) << "no pass of the operator's";

    // Both wait for a locked archive, and are stored from the journal at the next start.
    struct ShortWait
    {
        ShortWait() { ArchiveStore::setBusyTimeout(50); }
        ~ShortWait() { ArchiveStore::setBusyTimeout(2000); }
    } shortWait;
    {
        SqliteDb other(fileName(), SqliteDb::ReadWrite);
        other.exec("BEGIN IMMEDIATE");
        judged({line(kBerlin, kStart + 240)}, kStart + 300);
        answerForReference({ofReference(line(kCape, kStart + 250))}, kStart + 310);
        settle();
        ASSERT_FALSE(failures.isEmpty());
        archive.reset();
        other.exec("ROLLBACK");
    }
    startArchive();
    openJudged();
    EXPECT_TRUE(toldTexts().isEmpty());
    EXPECT_EQ(served, std::vector<qsizetype>{1}) << "the operator's report alone";
    EXPECT_EQ(list().size(), listed);
    SqliteDb db(fileName(), SqliteDb::ReadOnly);
    EXPECT_EQ(db.integer("SELECT count(*) FROM reference_report"), 3);
    EXPECT_EQ(db.integer("SELECT count(*) FROM alert_entity WHERE dxcc <> 'Fed. Rep. of Germany'"), 0);
}

// Done when: a journal of more than one chunk is stored as one catch-up,
// told once, together, and never as a silence.
TEST_F(AlertTablesTest, AJournalOfManyChunksIsOneCatchUpAndNoSilence)
{
    std::vector<PassOutcome> outcomes;
    QObject::connect(&monitor, &AlertMonitor::judged, &monitor,
                     [&](const PassOutcome &o) { outcomes.push_back(o); });
    settings.silence = true;
    openJudged();
    judged({line(kBerlin, kStart - 60)}, kStart);
    archive.reset();
    outcomes.clear();
    toldTexts();

    // A report a second after the other, new entities at the very end.
    QList<ArchivedReport> waiting;
    for (qint64 i = 1; i <= ReportArchive::kJournalChunk + 10; ++i)
        waiting << report(kStart + i, kBerlin);
    waiting << report(kStart + 20000, kTokyo) << report(kStart + 20001, kSydney);
    PendingJournal(PendingJournal::besideArchive(fileName())).append(waiting, {});

    startArchive();
    archive->open({fileName(), {}, QDateTime::fromSecsSinceEpoch(kStart + 30000, Qt::UTC),
                   monitor.judge(settings, home(), true)});
    settle();
    for (const Alert &a : list())
        EXPECT_NE(a.rule, AlertRule::Silence) << a.text.toStdString();
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_TRUE(outcomes[0].backlog);
    EXPECT_EQ(alertfixture::texts(outcomes[0].alerts).filter("Australia"_qs).size(), 1);
    EXPECT_FALSE(QFile::exists(PendingJournal::besideArchive(fileName())));
}

// Done when: a new archive beside a history raises no alert for an entity
// or distance that history held.
TEST_F(AlertTablesTest, WhatTheHistoryHeldIsNoNewsInANewArchive)
{
    ArchivedReport held = report(kStart - 3600, kTokyo);
    held.frequency.reset(); // as a history line gives it
    held.band = "20m"_qs;
    archive->open({fileName(), {held}, QDateTime::fromSecsSinceEpoch(kStart, Qt::UTC),
                   monitor.judge(settings, home(), true)});
    settle();
    judged({line(kBerlin, kStart + 60)}, kStart + 300, true);
    judged({line(kTokyo, kStart + 400)}, kStart + 600);
    const QStringList texts = toldTexts();
    EXPECT_TRUE(texts.filter("JA1ABC"_qs).isEmpty()) << texts.join(u'\n').toStdString();
    EXPECT_TRUE(texts.filter("Japan"_qs).isEmpty());
}
