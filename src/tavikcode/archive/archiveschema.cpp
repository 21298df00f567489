#include "archiveschema.h"

#include "sqlitedb.h"

namespace {

// One b-tree holds the reports in time order, keyed by what makes a report
// the same: a pass adds each report in one place, and a period is one range.
// A primary key allows no NULL, so a frequency that was no number is kept as
// kNoFrequency there; the view "reports" shows it as NULL.
void createVersion1(SqliteDb &db)
{
    db.exec(R"sql(
        CREATE TABLE report (
            flow_start INTEGER NOT NULL,
            receiver   TEXT NOT NULL,
            sender     TEXT NOT NULL,
            mode       TEXT NOT NULL,
            frequency  INTEGER NOT NULL,
            locator    TEXT NOT NULL,
            band       TEXT NOT NULL,
            snr        INTEGER,
            snr_text   TEXT NOT NULL,
            dxcc       TEXT NOT NULL,
            stored_at  INTEGER NOT NULL,
            imported   INTEGER NOT NULL DEFAULT 0,
            PRIMARY KEY (flow_start, receiver, sender, mode, frequency)
        ) WITHOUT ROWID;
        CREATE INDEX report_imported ON report (flow_start, receiver) WHERE imported = 1;
        CREATE TABLE receiver (
            callsign   TEXT NOT NULL COLLATE NOCASE,
            locator    TEXT NOT NULL COLLATE NOCASE,
            first_seen INTEGER NOT NULL,
            last_seen  INTEGER NOT NULL,
            PRIMARY KEY (callsign, locator)
        ) WITHOUT ROWID;
        CREATE VIEW reports AS
            SELECT datetime(flow_start, 'unixepoch') AS time, flow_start, sender, receiver, locator,
                   nullif(frequency, -9223372036854775808) AS frequency, band, mode, snr, snr_text, dxcc,
                   datetime(stored_at, 'unixepoch') AS stored
              FROM report;
    )sql");
}

TavikError newerArchive(int version)
{
    return TavikError(QStringLiteral("it was written by a newer version of TavikRepView (archive version %1, "
                                     "this program knows %2)")
                          .arg(version)
                          .arg(kArchiveSchemaVersion));
}

} // namespace

int migrateArchive(SqliteDb &db)
{
    // Looked at first without a write lock: an archive of this version needs none.
    if (const int version = checkArchiveVersion(db, true); version == kArchiveSchemaVersion)
        return version;
    Transaction transaction(db);
    const int version = checkArchiveVersion(db, true);
    if (version == kArchiveSchemaVersion)
        return version;
    if (version < 1)
        createVersion1(db);
    // Later versions add their step here: if (version < 2) migrateToVersion2(db);
    db.exec("PRAGMA user_version = 1");
    static_assert(kArchiveSchemaVersion == 1, "a new version needs its migration step and this number");
    transaction.commit();
    return version;
}

int checkArchiveVersion(SqliteDb &db, bool emptyAllowed)
{
    const int version = int(db.integer("PRAGMA user_version"));
    if (version > kArchiveSchemaVersion)
        throw newerArchive(version);
    if (version < 1 && !emptyAllowed)
        throw TavikError(QStringLiteral("it holds no reports yet"));
    return version;
}
