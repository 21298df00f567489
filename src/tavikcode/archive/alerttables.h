#pragma once

#include "alertstate.h"

#include <memory>

class SqliteDb;
class Statement;

// The archive's tables of the alert rules (schema version 3): their state,
// read once when the archive is opened and then written row by row as it
// changes, and the alert list. Every call works in the caller's transaction
// and throws SqliteError.
//
// alert_state   one row: the last judged reception, the last pass, the two
//               newest receptions and the silence told
// alert_band    per band: the distance record and the run of far reports
// alert_entity  every DXCC entity heard, with each band it was heard on
// alert_told    what was told in the last hour (rule, band, subject)
// alert         the alert list; the view "alerts" shows its times as text
class AlertTables
{
public:
    explicit AlertTables(SqliteDb &db);
    ~AlertTables();
    AlertTables(const AlertTables &) = delete;
    AlertTables &operator=(const AlertTables &) = delete;

    AlertState load();
    // Writes what differs between the state as loaded (or last saved) and now.
    void save(const AlertState &before, const AlertState &after);
    void add(const QList<Alert> &alerts);
    void clear();

private:
    SqliteDb &m_db;
    std::unique_ptr<Statement> m_state;
    std::unique_ptr<Statement> m_band;
    std::unique_ptr<Statement> m_entity;
    std::unique_ptr<Statement> m_told;
    std::unique_ptr<Statement> m_untold;
    std::unique_ptr<Statement> m_alert;
};

// The tables of schema version 3, empty, the state that of a first run.
void createAlertTables(SqliteDb &db);

// The alert list, newest first (of one time, the one told last first), at
// most limit alerts, read on the given connection (the shared reader's, so
// that the list can be read while the archive cannot be written); an archive
// not yet of version 3 has none. Throws SqliteError and TavikError.
QList<Alert> readAlertList(SqliteDb &db, qsizetype limit);

// Teaches the learner every report the archive holds, oldest first, and
// keeps what it learnt: an archive brought up to version 3 knows what it
// heard before, and its first pass tells only what is new.
void seedAlertState(SqliteDb &db, AlertJudge &learner);
