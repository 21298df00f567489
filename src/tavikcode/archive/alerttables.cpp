#include "alerttables.h"

#include "archiveschema.h"
#include "sqlitedb.h"

#include <sqlite3.h>

namespace {

// Reports taught to the rules at a time while an archive is seeded.
constexpr qsizetype kSeedChunk = 50000;

QString joinedLines(const QStringList &lines)
{
    return lines.join(u'\n');
}

QStringList splitLines(const QString &text)
{
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

} // namespace

void createAlertTables(SqliteDb &db)
{
    db.exec(R"sql(
        CREATE TABLE alert_state (
            id            INTEGER PRIMARY KEY CHECK (id = 1),
            last_judged   INTEGER NOT NULL,
            last_pass     INTEGER NOT NULL,
            last_report   INTEGER NOT NULL,
            report_before INTEGER NOT NULL,
            silence_told  INTEGER NOT NULL
        );
        INSERT INTO alert_state VALUES (1, 0, 0, 0, 0, 0);
        CREATE TABLE alert_band (
            band                 TEXT PRIMARY KEY,
            record_km            REAL NOT NULL,
            record_receiver      TEXT NOT NULL,
            run_start            INTEGER NOT NULL,
            run_last_far         INTEGER NOT NULL,
            run_receivers        TEXT NOT NULL,
            run_told             INTEGER NOT NULL,
            run_farthest         TEXT NOT NULL,
            run_farthest_km      REAL NOT NULL,
            run_farthest_bearing REAL NOT NULL
        ) WITHOUT ROWID;
        CREATE TABLE alert_entity (
            dxcc TEXT NOT NULL,
            band TEXT NOT NULL,
            PRIMARY KEY (dxcc, band)
        ) WITHOUT ROWID;
        CREATE TABLE alert_told (
            rule    TEXT NOT NULL,
            band    TEXT NOT NULL,
            subject TEXT NOT NULL,
            told_at INTEGER NOT NULL,
            PRIMARY KEY (rule, band, subject)
        ) WITHOUT ROWID;
        CREATE TABLE alert (
            id      INTEGER PRIMARY KEY,
            time    INTEGER NOT NULL,
            rule    TEXT NOT NULL,
            band    TEXT NOT NULL,
            subject TEXT NOT NULL,
            text    TEXT NOT NULL
        );
        CREATE INDEX alert_time ON alert (time, id);
        CREATE VIEW alerts AS
            SELECT datetime(time, 'unixepoch') AS time, rule, band, subject, text FROM alert;
    )sql");
}

void seedAlertState(SqliteDb &db, AlertJudge &learner)
{
    AlertTables tables(db);
    const AlertState before = tables.load();
    AlertState state = before;
    Statement rows(db, R"sql(
        SELECT flow_start, receiver, locator, frequency, band, snr_text, dxcc FROM report ORDER BY flow_start
    )sql");
    QList<ArchivedReport> chunk;
    const auto teach = [&] {
        learner.learn(state, chunk);
        chunk.clear();
    };
    ArchivedReport r;
    while (rows.step()) {
        r.flowStartSeconds = rows.integer(0);
        r.receiver = rows.text(1);
        r.locator = rows.text(2);
        const qint64 frequency = rows.integer(3);
        r.frequency = frequency == kNoFrequency ? std::nullopt : std::optional<qint64>(frequency);
        r.band = rows.text(4);
        r.snrText = rows.text(5);
        r.dxcc = rows.text(6);
        chunk.append(r);
        if (chunk.size() == kSeedChunk)
            teach();
    }
    if (!chunk.isEmpty())
        teach();
    tables.save(before, state);
}

AlertTables::AlertTables(SqliteDb &db) : m_db(db)
{
    m_state = std::make_unique<Statement>(db, R"sql(
        UPDATE alert_state SET last_judged = ?1, last_pass = ?2, last_report = ?3, report_before = ?4,
                               silence_told = ?5
    )sql");
    m_band = std::make_unique<Statement>(db, R"sql(
        INSERT OR REPLACE INTO alert_band VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)
    )sql");
    m_entity = std::make_unique<Statement>(db, "INSERT OR IGNORE INTO alert_entity VALUES (?1, ?2)");
    m_told = std::make_unique<Statement>(db, "INSERT OR REPLACE INTO alert_told VALUES (?1, ?2, ?3, ?4)");
    m_untold = std::make_unique<Statement>(db, "DELETE FROM alert_told WHERE rule = ?1 AND band = ?2 AND subject = ?3");
    m_alert = std::make_unique<Statement>(db, "INSERT INTO alert (time, rule, band, subject, text) "
                                              "VALUES (?1, ?2, ?3, ?4, ?5)");
}

AlertTables::~AlertTables() = default;

AlertState AlertTables::load()
{
    AlertState s;
    {
        Statement row(m_db, "SELECT last_judged, last_pass, last_report, report_before, silence_told FROM alert_state");
        if (row.step()) {
            s.lastJudged = row.integer(0);
            s.lastPass = row.integer(1);
            s.lastReport = row.integer(2);
            s.reportBefore = row.integer(3);
            s.silenceTold = row.integer(4);
        }
    }
    Statement bands(m_db, R"sql(
        SELECT band, record_km, record_receiver, run_start, run_last_far, run_receivers, run_told, run_farthest,
               run_farthest_km, run_farthest_bearing
          FROM alert_band
    )sql");
    while (bands.step()) {
        const QString band = bands.text(0);
        if (bands.real(1) > 0)
            s.records.insert(band, {bands.real(1), bands.text(2)});
        if (bands.integer(4) != 0) {
            s.openings.insert(band, {bands.integer(3), bands.integer(4), splitLines(bands.text(5)),
                                     bands.integer(6) != 0, bands.real(8), bands.real(9), bands.text(7)});
        }
    }
    Statement entities(m_db, "SELECT dxcc, band FROM alert_entity");
    while (entities.step()) {
        s.entities.insert(entities.text(0));
        s.entityBands.insert(entityBandKey(entities.text(1), entities.text(0)));
    }
    Statement told(m_db, "SELECT rule, band, subject, told_at FROM alert_told");
    while (told.step()) {
        if (const std::optional<AlertRule> rule = ruleFromKey(told.text(0)))
            s.recent.insert(recentKey(*rule, told.text(1), told.text(2)), told.integer(3));
    }
    return s;
}

void AlertTables::save(const AlertState &before, const AlertState &after)
{
    if (after.lastJudged != before.lastJudged || after.lastPass != before.lastPass
        || after.lastReport != before.lastReport || after.reportBefore != before.reportBefore
        || after.silenceTold != before.silenceTold) {
        m_state->bind(1, after.lastJudged);
        m_state->bind(2, after.lastPass);
        m_state->bind(3, after.lastReport);
        m_state->bind(4, after.reportBefore);
        m_state->bind(5, after.silenceTold);
        m_state->run();
    }

    // A band's row holds its record and its run: written whole when either changed.
    QSet<QString> bands;
    for (auto it = after.records.cbegin(); it != after.records.cend(); ++it) {
        if (before.records.value(it.key()) != it.value())
            bands.insert(it.key());
    }
    for (auto it = after.openings.cbegin(); it != after.openings.cend(); ++it) {
        if (before.openings.value(it.key()) != it.value())
            bands.insert(it.key());
    }
    for (const QString &band : std::as_const(bands)) {
        const BandRecord record = after.records.value(band);
        const OpeningRun run = after.openings.value(band);
        Statement &s = *m_band;
        s.bind(1, band);
        s.bindReal(2, record.km);
        s.bind(3, record.receiver);
        s.bind(4, run.start);
        s.bind(5, run.lastFar);
        s.bind(6, joinedLines(run.receivers));
        s.bind(7, qint64(run.told ? 1 : 0));
        s.bind(8, run.farthest);
        s.bindReal(9, run.farthestKm);
        s.bindReal(10, run.farthestBearing);
        s.run();
    }

    // Entities are only ever learnt.
    if (after.entityBands.size() != before.entityBands.size()) {
        for (const QString &key : after.entityBands) {
            if (before.entityBands.contains(key))
                continue;
            const qsizetype cut = key.indexOf(u'\n');
            m_entity->bind(1, key.mid(cut + 1));
            m_entity->bind(2, key.left(cut));
            m_entity->run();
        }
    }

    const auto bindTold = [](Statement &s, const QString &key) {
        const QStringList fields = key.split(u'\n');
        for (int i = 0; i < 3; ++i)
            s.bind(i + 1, fields.value(i));
    };
    for (auto it = before.recent.cbegin(); it != before.recent.cend(); ++it) {
        if (!after.recent.contains(it.key())) {
            bindTold(*m_untold, it.key());
            m_untold->run();
        }
    }
    for (auto it = after.recent.cbegin(); it != after.recent.cend(); ++it) {
        if (before.recent.value(it.key(), -1) != it.value()) {
            bindTold(*m_told, it.key());
            m_told->bind(4, it.value());
            m_told->run();
        }
    }
}

void AlertTables::add(const QList<Alert> &alerts)
{
    for (const Alert &a : alerts) {
        m_alert->bind(1, a.time);
        m_alert->bind(2, ruleKey(a.rule));
        m_alert->bind(3, a.band);
        m_alert->bind(4, a.subject);
        m_alert->bind(5, a.text);
        m_alert->run();
    }
}

QList<Alert> readAlertList(SqliteDb &db, qsizetype limit)
{
    if (checkArchiveVersion(db, true) < 3)
        return {};
    Statement rows(db, "SELECT time, rule, band, subject, text FROM alert ORDER BY time DESC, id DESC LIMIT ?1");
    rows.bind(1, qint64(limit));
    QList<Alert> alerts;
    while (rows.step()) {
        if (const std::optional<AlertRule> rule = ruleFromKey(rows.text(1)))
            alerts.append({rows.integer(0), *rule, rows.text(2), rows.text(3), rows.text(4)});
    }
    return alerts;
}

void AlertTables::clear()
{
    m_db.exec("DELETE FROM alert");
}
