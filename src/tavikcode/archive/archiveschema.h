#pragma once

#include <QtGlobal>

#include <limits>

class SqliteDb;

// The archive's tables, and the steps that bring an archive of an earlier
// schema version up to this one. The version is kept in PRAGMA user_version.
//
// report    one row per report of the operator, counted once: the same
//           sender, receiver, flow_start, frequency and mode again adds
//           nothing. imported = 1 marks a row read back from the old report
//           history, which a served report of the same reception replaces.
// reports   a view of report for people: times as text, NULL for no frequency.
// receiver  one row per active receiver and locator, with the first and
//           last time an answer named it.

inline constexpr int kArchiveSchemaVersion = 1;

// report.frequency of a report whose served frequency was no number: a value
// no served number can give (the parser refuses magnitudes beyond 9.2e18).
inline constexpr qint64 kNoFrequency = std::numeric_limits<qint64>::min();

// Brings the schema up to kArchiveSchemaVersion, one version at a time, in
// one transaction; a new, empty database gets the whole schema. Returns the
// version the database had. Throws TavikError for a database of a newer
// version, which this program does not know how to write, and SqliteError.
int migrateArchive(SqliteDb &db);

// The archive's version; throws TavikError for a newer one, and for an empty
// database (version 0) unless that is allowed.
int checkArchiveVersion(SqliteDb &db, bool emptyAllowed = false);
