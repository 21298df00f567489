#include "archivestore.h"

#include "archiveschema.h"
#include "sqlitedb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace {

// A small page cache, given back after every store (releaseMemory): the
// writer adds a few hundred reports every five minutes and idles in between.
constexpr const char *kWriterSettings = R"sql(
    PRAGMA cache_size = -1024;
    PRAGMA synchronous = NORMAL;
    PRAGMA journal_size_limit = 4194304;
)sql";

constexpr int kBusyTimeoutMs = 2000;

bool renameIfPresent(const QString &from, const QString &to)
{
    return !QFile::exists(from) || QFile::rename(from, to);
}

} // namespace

ArchiveStore::ArchiveStore() = default;
ArchiveStore::~ArchiveStore() = default;

QString ArchiveStore::setAsideName(const QString &fileName, const QDateTime &now)
{
    const QFileInfo info(fileName);
    const QString stem = info.dir().filePath(info.completeBaseName() + QStringLiteral("-damaged-")
                                             + now.toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    QString name = stem + suffix;
    for (int n = 2; QFile::exists(name) || QFile::exists(name + QStringLiteral("-wal")); ++n)
        name = stem + u'-' + QString::number(n) + suffix;
    return name;
}

void ArchiveStore::close()
{
    m_sighting.reset();
    m_importedRange.reset();
    m_replaceImported.reset();
    m_insert.reset();
    m_db.reset();
}

void ArchiveStore::configure()
{
    sqlite3_busy_timeout(m_db->handle(), kBusyTimeoutMs);
    m_db->exec(kWriterSettings);
    if (sqlite3_db_readonly(m_db->handle(), "main") == 1)
        throw SqliteError(SQLITE_READONLY, QStringLiteral("the file is read-only"));
}

void ArchiveStore::connect(const QString &fileName, bool check)
{
    // Looked at through a connection of its own that neither writes nor
    // checkpoints on closing, so that a damaged archive and its log are set
    // aside exactly as they were found.
    if (check && QFile::exists(fileName)) {
        SqliteDb probe(fileName, SqliteDb::ReadOnly);
        sqlite3_db_config(probe.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        sqlite3_busy_timeout(probe.handle(), kBusyTimeoutMs);
        const QString verdict = probe.text("PRAGMA quick_check");
        if (verdict != QStringLiteral("ok"))
            throw SqliteError(SQLITE_CORRUPT, verdict);
    }
    m_db = std::make_unique<SqliteDb>(fileName, SqliteDb::ReadWrite);
    configure();
}

ArchiveStore::Opened ArchiveStore::open(const QString &fileName, bool check, const QDateTime &now)
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
            if (!QFile::rename(fileName, aside))
                throw TavikError(QStringLiteral("it is damaged (%1) and cannot be renamed").arg(e.message()));
            renameIfPresent(fileName + QStringLiteral("-wal"), aside + QStringLiteral("-wal"));
            renameIfPresent(fileName + QStringLiteral("-shm"), aside + QStringLiteral("-shm"));
            opened.setAsideAs = aside;
            opened.damage = e.message();
            connect(fileName, false);
        }
        // A newer program's archive is left exactly as it is.
        checkArchiveVersion(*m_db, true);
        if (m_db->text("PRAGMA journal_mode = WAL") != QStringLiteral("wal"))
            throw SqliteError(SQLITE_CANTOPEN, QStringLiteral("the write-ahead log cannot be used"));
        opened.created = migrateArchive(*m_db) == 0;
        prepare();
    } catch (...) {
        close();
        throw;
    }
    return opened;
}

void ArchiveStore::prepare()
{
    m_insert = std::make_unique<Statement>(*m_db, R"sql(
        INSERT OR IGNORE INTO report (flow_start, sender, receiver, locator, frequency, band, mode,
                                      snr, snr_text, dxcc, stored_at, imported)
        VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)
    )sql");
    // The row keeps the time it was first stored.
    m_replaceImported = std::make_unique<Statement>(*m_db, R"sql(
        UPDATE OR IGNORE report
           SET sender = ?2, locator = ?4, frequency = ?5, snr = ?8, snr_text = ?9, dxcc = ?10, imported = 0
         WHERE imported = 1 AND flow_start = ?1 AND receiver = ?3 AND mode = ?7 AND band = ?6
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
}

int ArchiveStore::store(const QList<ArchivedReport> &reports, const QList<ReceiverSighting> &receivers,
                        Origin origin)
{
    Q_ASSERT(isOpen());
    Transaction transaction(*m_db);
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

    const auto bindReport = [](Statement &s, const ArchivedReport &r) {
        s.bind(1, r.flowStartSeconds);
        s.bind(2, r.sender);
        s.bind(3, r.receiver);
        s.bind(4, r.locator);
        s.bind(5, r.frequency.value_or(kNoFrequency));
        s.bind(6, r.band);
        s.bind(7, r.mode);
        s.bind(8, r.snr);
        s.bind(9, r.snrText);
        s.bind(10, r.dxcc);
    };
    int added = 0;
    for (const ArchivedReport &r : reports) {
        if (r.flowStartSeconds >= importedFrom && r.flowStartSeconds <= importedTo) {
            bindReport(*m_replaceImported, r);
            if (m_replaceImported->run() > 0) {
                ++added;
                continue;
            }
        }
        bindReport(*m_insert, r);
        m_insert->bind(11, r.storedAt);
        m_insert->bind(12, qint64(imported ? 1 : 0));
        added += m_insert->run();
    }
    for (const ReceiverSighting &s : receivers) {
        m_sighting->bind(1, s.callsign);
        m_sighting->bind(2, s.locator);
        m_sighting->bind(3, s.seenAt);
        m_sighting->run();
    }
    transaction.commit();
    return added;
}

void ArchiveStore::releaseMemory()
{
    if (m_db)
        sqlite3_db_release_memory(m_db->handle());
}
