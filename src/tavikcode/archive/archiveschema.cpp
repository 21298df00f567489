#include "archiveschema.h"

#include "alerttables.h"
#include "bandplan.h"
#include "sqlitedb.h"

#include <sqlite3.h>

namespace {

constexpr const char *kReportsView = R"sql(
    CREATE VIEW reports AS
        SELECT datetime(flow_start, 'unixepoch') AS time, flow_start, sender, receiver, locator,
               nullif(frequency, -9223372036854775808) AS frequency, band, mode, snr, snr_text, dxcc,
               datetime(stored_at, 'unixepoch') AS stored
          FROM report;
)sql";

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
    )sql");
    db.exec(kReportsView);
}

// archive_band(frequency, band, imported): archivedBand, for the migration.
void archiveBandFunction(sqlite3_context *context, int, sqlite3_value **values)
{
    const qint64 frequency = sqlite3_value_int64(values[0]);
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(values[1]));
    const QString band = archivedBand(frequency == kNoFrequency ? std::nullopt : std::optional<qint64>(frequency),
                                      QString::fromUtf8(text, sqlite3_value_bytes(values[1])),
                                      sqlite3_value_int64(values[2]) == 1);
    const QByteArray utf8 = band.toUtf8();
    sqlite3_result_text(context, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// The band joins the key, so that imported rows of two bands in one second
// stay two, and every band is named anew from its frequency by the band plan
// (version 1 named them by the history's whole-megahertz table). The table
// is copied in key order: the new key only adds the band at its end.
void migrateToVersion2(SqliteDb &db)
{
    const int rc = sqlite3_create_function_v2(db.handle(), "archive_band", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                              nullptr, archiveBandFunction, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        db.fail(rc, QStringLiteral("archive_band"));
    db.exec(R"sql(
        DROP VIEW reports;
        DROP INDEX report_imported;
        ALTER TABLE report RENAME TO report_version1;
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
            PRIMARY KEY (flow_start, receiver, sender, mode, frequency, band)
        ) WITHOUT ROWID;
        INSERT INTO report (flow_start, receiver, sender, mode, frequency, locator, band, snr, snr_text, dxcc,
                            stored_at, imported)
            SELECT flow_start, receiver, sender, mode, frequency, locator, archive_band(frequency, band, imported),
                   snr, snr_text, dxcc, stored_at, imported
              FROM report_version1;
        DROP TABLE report_version1;
        CREATE INDEX report_imported ON report (flow_start, receiver) WHERE imported = 1;
    )sql");
    db.exec(kReportsView);
    sqlite3_create_function_v2(db.handle(), "archive_band", 3, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr,
                               nullptr);
}

// The reference stations' reports: a table of their own with the report
// table's columns and key, so that nothing reading report sees them.
void migrateToVersion4(SqliteDb &db)
{
    db.exec(R"sql(
        CREATE TABLE reference_report (
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
            PRIMARY KEY (flow_start, receiver, sender, mode, frequency, band)
        ) WITHOUT ROWID;
        CREATE VIEW reference_reports AS
            SELECT datetime(flow_start, 'unixepoch') AS time, flow_start, sender, receiver, locator,
                   nullif(frequency, -9223372036854775808) AS frequency, band, mode, snr, snr_text, dxcc,
                   datetime(stored_at, 'unixepoch') AS stored
              FROM reference_report;
    )sql");
}

// The operator's transmissions as the digital-mode program told them, times
// in milliseconds since 1970 UTC; one a start, so a replayed journal adds
// none twice.
void migrateToVersion5(SqliteDb &db)
{
    db.exec(R"sql(
        CREATE TABLE transmission (
            start_ms INTEGER PRIMARY KEY,
            end_ms   INTEGER NOT NULL,
            dial_hz  INTEGER NOT NULL,
            band     TEXT NOT NULL,
            mode     TEXT NOT NULL,
            tx_df    INTEGER NOT NULL
        );
        CREATE VIEW transmissions AS
            SELECT strftime('%Y-%m-%d %H:%M:%f', start_ms / 1000.0, 'unixepoch') AS start,
                   strftime('%Y-%m-%d %H:%M:%f', end_ms / 1000.0, 'unixepoch') AS end, dial_hz, band, mode, tx_df
              FROM transmission;
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

QString archivedBand(std::optional<qint64> frequency, const QString &band, bool imported)
{
    if (frequency)
        return bandOfFrequency(*frequency);
    return imported ? band : QString();
}

int migrateArchive(SqliteDb &db, int upTo, AlertJudge *learner)
{
    const int version = checkArchiveVersion(db, true);
    if (version >= upTo)
        return version;
    if (version < 1)
        createVersion1(db);
    if (version < 2 && upTo >= 2)
        migrateToVersion2(db);
    if (version < 3 && upTo >= 3) {
        createAlertTables(db);
        if (learner)
            seedAlertState(db, *learner);
    }
    if (version < 4 && upTo >= 4)
        migrateToVersion4(db);
    if (version < 5 && upTo >= 5)
        migrateToVersion5(db);
    // Later versions add their step here: if (version < 6 && upTo >= 6) migrateToVersion6(db);
    static_assert(kArchiveSchemaVersion == 5, "a new version needs its migration step");
    db.exec(QByteArray("PRAGMA user_version = " + QByteArray::number(upTo)).constData());
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
