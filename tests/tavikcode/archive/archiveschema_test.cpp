#include "archivefixture.h"

#include "archive/archiveschema.h"
#include "archive/archivestore.h"

using namespace archivetest;

class ArchiveSchemaTest : public InTempFolder
{
protected:
    QString fileName() const { return path(files::kArchive); }
};

// Version 4 adds the reference stations' table: an archive of version 2
// passes through the alerts' version 3 to it, one of version 3 keeps its
// alert list; the operator's reports stay as they were.
TEST_F(ArchiveSchemaTest, AnArchiveOfVersion2Or3GainsTheReferenceTableAndKeepsItsReportsAndAlerts)
{
    for (const int from : {2, 3}) {
        SCOPED_TRACE(from);
        for (const char *ending : {"", "-wal", "-shm"})
            QFile::remove(fileName() + QLatin1StringView(ending));
        {
            SqliteDb db(fileName(), SqliteDb::ReadWrite);
            Transaction transaction(db);
            ASSERT_EQ(migrateArchive(db, from), 0);
            db.exec(R"sql(
                INSERT INTO report (flow_start, receiver, sender, mode, frequency, locator, band, snr, snr_text,
                                    dxcc, stored_at, imported)
                    VALUES (1796601600, 'DL1ABC', 'G4XYZ', 'FT8', 14074000, 'JO62qm', '20m', -5, '-5', 'Germany', 1,
                            0);
            )sql");
            if (from == 3)
                db.exec("INSERT INTO alert (time, rule, band, subject, text) VALUES (1, 'entity', '20m', 'Germany', "
                        "'Germany hears you')");
            transaction.commit();
        }
        {
            ArchiveStore store;
            EXPECT_FALSE(store.open(fileName(), true, QDateTime::currentDateTime()).created);
            ArchivedReport reference = reportsIn(fileName()).front();
            reference.sender = "G4XYZ/P"_qs;
            reference.reference = true;
            const ArchiveStore::Added added = store.store({reference}, {});
            EXPECT_EQ(added.reports, 0);
            EXPECT_EQ(added.references, 1);
        }
        SqliteDb db(fileName(), SqliteDb::ReadOnly);
        EXPECT_EQ(db.integer("PRAGMA user_version"), kArchiveSchemaVersion);
        EXPECT_EQ(db.integer("SELECT count(*) FROM transmissions"), 0);
        EXPECT_EQ(db.text("SELECT group_concat(sender) FROM reports"), "G4XYZ"_qs);
        EXPECT_EQ(db.text("SELECT group_concat(sender || ' ' || band || ' ' || frequency) FROM reference_reports"),
                  "G4XYZ/P 20m 14074000"_qs);
        EXPECT_EQ(db.integer("SELECT count(*) FROM alerts"), from == 3 ? 1 : 0);
        EXPECT_EQ(db.integer("SELECT count(*) FROM alert_state"), 1);
    }
}

// Version 1 named bands by the history's whole-megahertz table and keyed a
// report without its band.
TEST_F(ArchiveSchemaTest, AnArchiveOfVersion1IsMigratedWithBandsByThePlanAndTheBandInTheKey)
{
    {
        SqliteDb db(fileName(), SqliteDb::ReadWrite);
        Transaction transaction(db);
        ASSERT_EQ(migrateArchive(db, 1), 0);
        db.exec(R"sql(
            INSERT INTO report (flow_start, receiver, sender, mode, frequency, locator, band, snr, snr_text, dxcc,
                                stored_at, imported) VALUES
                (1796601600, 'DL1ABC', 'G4XYZ', 'FT8', 136000, 'JO62qm', '630m', -5, '-5', 'Germany', 1, 0),
                (1796601600, 'OH1XX', 'G4XYZ', 'FT8', 70154000, 'KP20ab', '0m', -5, '-5', 'Finland', 1, 0),
                (1796601600, 'W1AW', 'G4XYZ', 'FT8', -9223372036854775808, 'FN31', '0m', -5, '-5', 'USA', 1, 0),
                (1796601600, 'K1JT', 'G4XYZ', 'FT8', -9223372036854775808, 'FN20', '20m', -5, '-5', 'USA', 1, 1),
                (1796601600, 'VK2XYZ', 'G4XYZ', 'FT8', 14074000, 'QF56', '20m', -5, '-5', 'Australia', 1, 0);
        )sql");
        transaction.commit();
    }
    ArchivedReport fortyMetres;
    fortyMetres.flowStartSeconds = kDay;
    fortyMetres.sender = kOperator;
    fortyMetres.receiver = "K1JT"_qs;
    fortyMetres.band = "40m"_qs;
    fortyMetres.mode = "FT8"_qs;
    {
        ArchiveStore store;
        const ArchiveStore::Opened opened = store.open(fileName(), true, QDateTime::currentDateTime(), {fortyMetres});
        EXPECT_FALSE(opened.created);
        EXPECT_EQ(opened.imported, 1); // the imported 20 m row of that second kept it out before
    }
    SqliteDb db(fileName(), SqliteDb::ReadOnly);
    EXPECT_EQ(db.integer("PRAGMA user_version"), kArchiveSchemaVersion);
    Statement s(db, "SELECT receiver, band, ifnull(frequency, 0) FROM reports ORDER BY receiver, band");
    QStringList rows;
    while (s.step())
        rows << s.text(0) + u' ' + s.text(1) + u' ' + QString::number(s.integer(2));
    EXPECT_EQ(rows, (QStringList{"DL1ABC 2200m 136000"_qs, "K1JT 20m 0"_qs, "K1JT 40m 0"_qs, "OH1XX 4m 70154000"_qs,
                                 "VK2XYZ 20m 14074000"_qs, "W1AW  0"_qs}));
}
