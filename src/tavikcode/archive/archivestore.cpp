#include "archivestore.h"

#include "alerttables.h"
#include "archiveschema.h"
#include "processing/reportline.h"
#include "sqlitedb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>

namespace {

// A small page cache, given back after every store (releaseMemory): the
// writer adds a few hundred reports every five minutes and idles in between.
constexpr const char *kWriterSettings = R"sql(
    PRAGMA cache_size = -1024;
    PRAGMA synchronous = NORMAL;
    PRAGMA journal_size_limit = 4194304;
)sql";

std::atomic<int> g_busyTimeoutMs = 2000;

// The history reads a value only when its closing quote lies within this many
// characters from the start of the attribute's search text; a longer value
// is an empty field there.
constexpr qsizetype kHistoryWindow = 50;

const QString &endingWal()
{
    static const QString ending = QStringLiteral("-wal");
    return ending;
}

// The band the history's line names for a stored frequency: its
// whole-megahertz table, so that 136 kHz ("2200m" here) is "630m" there.
QString historyBandOf(qint64 frequency)
{
    return frequency == kNoFrequency ? QString() : FrequencyToBand(QString::number(frequency));
}

} // namespace

ArchiveStore::ArchiveStore() = default;
ArchiveStore::~ArchiveStore() = default;

void ArchiveStore::setBusyTimeout(int milliseconds)
{
    g_busyTimeoutMs = milliseconds;
}

QString ArchiveStore::setAsideName(const QString &fileName, const QDateTime &now)
{
    const QFileInfo info(fileName);
    const QString stem = info.dir().filePath(info.completeBaseName() + QStringLiteral("-damaged-")
                                             + now.toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    const auto taken = [](const QString &name) {
        return QFile::exists(name) || QFile::exists(name + endingWal())
            || QFile::exists(name + QStringLiteral("-shm"));
    };
    QString name = stem + suffix;
    for (int n = 2; taken(name); ++n)
        name = stem + u'-' + QString::number(n) + suffix;
    return name;
}

QString ArchiveStore::setAside(const QString &fileName, const QString &aside, const Rename &rename)
{
    const auto move = [&rename](const QString &from, const QString &to) {
        return rename ? rename(from, to) : QFile::rename(from, to);
    };
    const auto nameOf = [](const QString &path) { return QFileInfo(path).fileName(); };
    if (!move(fileName, aside))
        return QStringLiteral("cannot be renamed %1").arg(nameOf(aside));
    // The archive's log and index go with it, or it goes back: a new archive
    // must never open beside the old one's log.
    QStringList moved{QString()};
    for (const QString &ending : {endingWal(), QStringLiteral("-shm")}) {
        if (!QFile::exists(fileName + ending)) {
            continue;
        }
        if (move(fileName + ending, aside + ending)) {
            moved << ending;
            continue;
        }
        QStringList stuck;
        for (auto back = moved.crbegin(); back != moved.crend(); ++back) {
            if (!move(aside + *back, fileName + *back))
                stuck << nameOf(aside + *back);
        }
        QString failure = QStringLiteral("its file %1 cannot be renamed %2")
                              .arg(nameOf(fileName + ending), nameOf(aside + ending));
        if (stuck.isEmpty())
            return failure + QStringLiteral(", so it was left as it was");
        return failure + QStringLiteral(", and %1 cannot be moved back").arg(stuck.join(QStringLiteral(", ")));
    }
    return {};
}

void ArchiveStore::close()
{
    m_alertTables.reset();
    m_alertState = {};
    m_sameReception.reset();
    m_sighting.reset();
    m_importedRange.reset();
    m_replaceImported.reset();
    m_insertReference.reset();
    m_insert.reset();
    m_db.reset();
}

void ArchiveStore::configure()
{
    sqlite3_busy_timeout(m_db->handle(), g_busyTimeoutMs.load());
    m_db->exec(kWriterSettings);
    if (sqlite3_db_readonly(m_db->handle(), "main") == 1)
        throw SqliteError(SQLITE_READONLY, QStringLiteral("the file is read-only"));
}

void ArchiveStore::connect(const QString &fileName, bool check)
{
    // SQLite would read an old log into a new, empty archive.
    if (!QFile::exists(fileName) && QFile::exists(fileName + endingWal())) {
        throw TavikError(
            QStringLiteral("its log %1 is there without it; move that file away to start a new archive")
                .arg(QFileInfo(fileName + endingWal()).fileName()));
    }
    // Looked at through a connection of its own that neither writes nor
    // checkpoints on closing, so that a damaged archive and its log are set
    // aside exactly as they were found.
    if (check && QFile::exists(fileName)) {
        SqliteDb probe(fileName, SqliteDb::ReadOnly);
        sqlite3_db_config(probe.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        sqlite3_busy_timeout(probe.handle(), g_busyTimeoutMs.load());
        const QString verdict = probe.text("PRAGMA quick_check");
        if (verdict != QStringLiteral("ok"))
            throw SqliteError(SQLITE_CORRUPT, verdict);
    }
    m_db = std::make_unique<SqliteDb>(fileName, SqliteDb::ReadWrite);
    configure();
}

ArchiveStore::Opened ArchiveStore::open(const QString &fileName, bool check, const QDateTime &now,
                                        const QList<ArchivedReport> &history, AlertJudge *learner)
{
    close();
    Opened opened;
    try {
        try {
            connect(fileName, check);
        } catch (const SqliteError &e) {
            if (!check || !e.isDamage())
                throw;
            // Never deleted: renamed aside, and a new archive started.
            m_db.reset();
            const QString aside = setAsideName(fileName, now);
            if (const QString failure = setAside(fileName, aside); !failure.isEmpty())
                throw TavikError(QStringLiteral("it is damaged (%1) and %2").arg(e.message(), failure));
            opened.setAsideAs = aside;
            opened.damage = e.message();
            connect(fileName, false);
        }
        // A newer program's archive is left exactly as it is.
        checkArchiveVersion(*m_db, true);
        if (m_db->text("PRAGMA journal_mode = WAL") != QStringLiteral("wal"))
            throw SqliteError(SQLITE_CANTOPEN, QStringLiteral("the write-ahead log cannot be used"));
        Transaction transaction(*m_db);
        const int version = migrateArchive(*m_db, kArchiveSchemaVersion, learner);
        opened.created = version == 0;
        prepare();
        QList<ArchivedReport> imported;
        opened.imported = reconcileHistory(history, imported);
        m_alertState = m_alertTables->load();
        // What the history held is no news: the rules learn it as a store teaches them.
        if (learner && !imported.isEmpty()) {
            std::stable_sort(imported.begin(), imported.end(), [](const ArchivedReport &a, const ArchivedReport &b) {
                return a.flowStartSeconds < b.flowStartSeconds;
            });
            AlertState learnt = m_alertState;
            learner->learn(learnt, imported);
            m_alertTables->save(m_alertState, learnt);
            m_alertState = std::move(learnt);
        }
        transaction.commit();
        // Only the step to version 2 copied the report table.
        if (version > 0 && version < 2)
            giveBackFreePages();
    } catch (...) {
        close();
        throw;
    }
    return opened;
}

void ArchiveStore::giveBackFreePages()
{
    // A migration that copied the report table leaves the old one's pages
    // free: the file would stay twice its size for a year of reports. A
    // failure (no room for the copy VACUUM makes) only leaves it so.
    try {
        m_db->exec("VACUUM");
    } catch (const SqliteError &) {
    }
}

void ArchiveStore::prepare()
{
    m_alertTables = std::make_unique<AlertTables>(*m_db);
    m_insert = std::make_unique<Statement>(*m_db, R"sql(
        INSERT OR IGNORE INTO report (flow_start, sender, receiver, locator, frequency, band, mode,
                                      snr, snr_text, dxcc, stored_at, imported)
        VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)
    )sql");
    m_insertReference = std::make_unique<Statement>(*m_db, R"sql(
        INSERT OR IGNORE INTO reference_report (flow_start, sender, receiver, locator, frequency, band, mode,
                                                snr, snr_text, dxcc, stored_at)
        VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)
    )sql");
    // The row keeps the time it was first stored: the import's, or the
    // served report's when that is earlier (a report from the journal, whose
    // history line the open has just imported). ?13 is the band the history
    // gave the served frequency.
    m_replaceImported = std::make_unique<Statement>(*m_db, R"sql(
        UPDATE OR IGNORE report
           SET sender = ?2, locator = ?4, frequency = ?5, band = ?6, snr = ?8, snr_text = ?9, dxcc = ?10,
               stored_at = min(stored_at, ?11), imported = 0
         WHERE imported = 1 AND flow_start = ?1 AND receiver = ?3 AND mode = ?7 AND band = ?13
    )sql");
    m_importedRange = std::make_unique<Statement>(*m_db, R"sql(
        SELECT min(flow_start), max(flow_start) FROM report WHERE imported = 1
    )sql");
    m_sighting = std::make_unique<Statement>(*m_db, R"sql(
        INSERT INTO receiver (callsign, locator, first_seen, last_seen) VALUES (?1, ?2, ?3, ?3)
        ON CONFLICT (callsign, locator) DO UPDATE
           SET first_seen = min(first_seen, excluded.first_seen),
               last_seen = max(last_seen, excluded.last_seen)
    )sql");
    // The rows a history line may stand for. An empty receiver or mode of the
    // history is also a value too long for its window (longer than ?4 and ?5).
    m_sameReception = std::make_unique<Statement>(*m_db, R"sql(
        SELECT frequency, band, imported FROM report
         WHERE flow_start = ?1
           AND (receiver = ?2 OR (?2 = '' AND length(receiver) > ?4))
           AND (mode = ?3 OR (?3 = '' AND length(mode) > ?5))
    )sql");
}

int ArchiveStore::reconcileHistory(const QList<ArchivedReport> &history, QList<ArchivedReport> &added)
{
    const auto longest = [](const QString &searchText) { return qint64(kHistoryWindow - searchText.size() - 1); };
    QList<ArchivedReport> missing;
    for (const ArchivedReport &r : history) {
        Statement &s = *m_sameReception;
        s.bind(1, r.flowStartSeconds);
        s.bind(2, r.receiver);
        s.bind(3, r.mode);
        s.bind(4, longest(search::kReceiverCallsign));
        s.bind(5, longest(search::kMode));
        bool held = false;
        while (!held && s.step()) {
            const qint64 frequency = s.integer(0);
            const bool named = s.integer(2) == 1 || frequency == kNoFrequency;
            held = (named ? s.text(1) : historyBandOf(frequency)) == r.band;
        }
        s.reset();
        if (!held)
            missing.append(r);
    }
    return writeRows(missing, {}, Origin::Imported, &added).reports;
}

ArchiveStore::Added ArchiveStore::store(const QList<ArchivedReport> &reports, const QList<ReceiverSighting> &receivers,
                                        Origin origin, AlertJudge *judge, qint64 now)
{
    Q_ASSERT(isOpen());
    // The rules judge the operator's own reports: an answer for a reference
    // station is no pass of the operator's, and its reports count nowhere.
    const auto own = std::count_if(reports.cbegin(), reports.cend(), [](const ArchivedReport &r) {
        return !r.reference;
    });
    if (own == 0 && !reports.isEmpty() && receivers.isEmpty())
        judge = nullptr;
    Transaction transaction(*m_db);
    JudgedStore judged{{}, own, now};
    if (judge)
        judged.added.reserve(own);
    const Added added = writeRows(reports, receivers, origin, judge ? &judged.added : nullptr);
    AlertState state = m_alertState;
    if (judge) {
        const QList<Alert> alerts = judge->judge(state, judged);
        m_alertTables->save(m_alertState, state);
        m_alertTables->add(alerts);
    }
    transaction.commit();
    m_alertState = std::move(state);
    if (judge)
        judge->committed();
    return added;
}

void ArchiveStore::clearAlerts()
{
    Q_ASSERT(isOpen());
    Transaction transaction(*m_db);
    m_alertTables->clear();
    transaction.commit();
}

void ArchiveStore::storeTransmissions(const QList<Transmission> &transmissions)
{
    Q_ASSERT(isOpen());
    Transaction transaction(*m_db);
    Statement insert(*m_db, R"sql(
        INSERT OR IGNORE INTO transmission (start_ms, end_ms, dial_hz, band, mode, tx_df)
        VALUES (?1, ?2, ?3, ?4, ?5, ?6)
    )sql");
    for (const Transmission &t : transmissions) {
        insert.bind(1, t.start.toMSecsSinceEpoch());
        insert.bind(2, t.end.toMSecsSinceEpoch());
        insert.bind(3, qint64(t.dialHz));
        insert.bind(4, t.band);
        insert.bind(5, t.mode);
        insert.bind(6, qint64(t.txDf));
        insert.run();
    }
    transaction.commit();
}

ArchiveStore::Added ArchiveStore::writeRows(const QList<ArchivedReport> &reports,
                                            const QList<ReceiverSighting> &receivers, Origin origin,
                                            QList<ArchivedReport> *added)
{
    const bool imported = origin == Origin::Imported;

    // Imported rows are few and old: only reports in their time span need
    // looking for one.
    qint64 importedFrom = 1;
    qint64 importedTo = 0;
    if (!imported && m_importedRange->step() && !m_importedRange->isNull(0)) {
        importedFrom = m_importedRange->integer(0);
        importedTo = m_importedRange->integer(1);
    }
    m_importedRange->reset();

    const auto bindReport = [imported](Statement &s, const ArchivedReport &r) {
        s.bind(1, r.flowStartSeconds);
        s.bind(2, r.sender);
        s.bind(3, r.receiver);
        s.bind(4, r.locator);
        s.bind(5, imported ? kNoFrequency : r.frequency.value_or(kNoFrequency));
        s.bind(6, archivedBand(imported ? std::nullopt : r.frequency, r.band, imported));
        s.bind(7, r.mode);
        s.bind(8, r.snr);
        s.bind(9, r.snrText);
        s.bind(10, r.dxcc);
    };
    Added count;
    for (const ArchivedReport &r : reports) {
        if (r.reference) {
            bindReport(*m_insertReference, r);
            m_insertReference->bind(11, r.storedAt);
            count.references += m_insertReference->run();
            continue;
        }
        bool isNew = false;
        if (r.flowStartSeconds >= importedFrom && r.flowStartSeconds <= importedTo) {
            bindReport(*m_replaceImported, r);
            m_replaceImported->bind(11, r.storedAt);
            m_replaceImported->bind(13, historyBandOf(r.frequency.value_or(kNoFrequency)));
            isNew = m_replaceImported->run() > 0;
        }
        if (!isNew) {
            bindReport(*m_insert, r);
            m_insert->bind(11, r.storedAt);
            m_insert->bind(12, qint64(imported ? 1 : 0));
            isNew = m_insert->run() > 0;
        }
        if (isNew) {
            ++count.reports;
            if (added)
                added->append(r);
        }
    }
    for (const ReceiverSighting &s : receivers) {
        m_sighting->bind(1, s.callsign);
        m_sighting->bind(2, s.locator);
        m_sighting->bind(3, s.seenAt);
        m_sighting->run();
    }
    return count;
}

void ArchiveStore::releaseMemory()
{
    if (m_db)
        sqlite3_db_release_memory(m_db->handle());
}
