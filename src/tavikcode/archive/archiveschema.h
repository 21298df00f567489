#pragma once

#include <QString>
#include <QtGlobal>

#include <limits>
#include <optional>

class AlertJudge;
class SqliteDb;

// The archive's tables, and the steps that bring an archive of an earlier
// schema version up to this one. The version is kept in PRAGMA user_version.
//
// report    one row per report of the operator, counted once: the same
//           sender, receiver, flow_start, mode, frequency and band again adds
//           nothing. A served report's band is the band plan's name of its
//           frequency (empty when the served frequency was no number).
//           imported = 1 marks a row read back from the report history: it
//           has no frequency and keeps the history's band text, so two bands
//           in one second stay two rows; a served report of the same
//           reception replaces it.
// reports   a view of report for people: times as text, NULL for no frequency.
// receiver  one row per active receiver and locator, with the first and
//           last time an answer named it.
// alert_*   the alert rules' state and the alert list (alerttables.h).
// reference_report  the reports of the reference stations the Compare
//           window compares with, as report keeps the operator's (the same
//           columns and key; never imported). Kept apart, so that the Reach
//           window and the alert rules read only the operator's own.
// reference_reports  a view of it for people, as reports.
//
// Version 1 keyed report without its band; version 2 adds the band to the
// key and names every band by the band plan; version 3 adds the alert
// tables; version 4 adds reference_report.

inline constexpr int kArchiveSchemaVersion = 5;

// report.frequency of a report without a frequency (a served value that was
// no number, or an imported row): a value no served number can give (the
// parser refuses magnitudes beyond 9.2e18).
inline constexpr qint64 kNoFrequency = std::numeric_limits<qint64>::min();

// The band a row keeps: a frequency's by the band plan; without one, an
// imported row's own text, and none for a served report.
QString archivedBand(std::optional<qint64> frequency, const QString &band, bool imported);

// Brings the schema up to version upTo, one version at a time; a new, empty
// database gets the whole schema. Runs inside the caller's write transaction.
// Returns the version the database had. Tests and benchmarks make archives of
// an older version with a lower upTo. The step to version 3 teaches the
// learner, when there is one, every report the archive holds
// (seedAlertState). Throws TavikError for a database of a newer version,
// which this program does not know how to write, and SqliteError.
int migrateArchive(SqliteDb &db, int upTo = kArchiveSchemaVersion, AlertJudge *learner = nullptr);

// The archive's version; throws TavikError for a newer one, and for an empty
// database (version 0) unless that is allowed.
int checkArchiveVersion(SqliteDb &db, bool emptyAllowed = false);
