#include "sqlitedb.h"

#include <QDir>

#include <sqlite3.h>

namespace {

QString errorText(sqlite3 *db, int code)
{
    // The connection's message is the more telling one when it belongs to this error.
    if (db && (sqlite3_errcode(db) & 0xff) == (code & 0xff))
        return QString::fromUtf8(sqlite3_errmsg(db));
    return QString::fromUtf8(sqlite3_errstr(code));
}

} // namespace

bool SqliteError::isDamage() const
{
    return m_code == SQLITE_CORRUPT || m_code == SQLITE_NOTADB;
}

SqliteDb::SqliteDb(const QString &fileName, Mode mode)
{
    const int flags = mode == ReadWrite ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
    // SQLite takes file names as UTF-8 on every platform.
    const QByteArray name = QDir::toNativeSeparators(fileName).toUtf8();
    const int rc = sqlite3_open_v2(name.constData(), &m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString reason = errorText(m_db, rc);
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        throw SqliteError(rc & 0xff, reason);
    }
    sqlite3_extended_result_codes(m_db, 0);
}

SqliteDb::~SqliteDb()
{
    sqlite3_close_v2(m_db);
}

void SqliteDb::fail(int code, const QString &context) const
{
    const QString reason = errorText(m_db, code);
    throw SqliteError(code & 0xff, context.isEmpty() ? reason : context + QStringLiteral(": ") + reason);
}

void SqliteDb::exec(const char *sql)
{
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        fail(rc, {});
}

qint64 SqliteDb::integer(const char *sql)
{
    Statement s(*this, sql);
    return s.step() ? s.integer(0) : 0;
}

QString SqliteDb::text(const char *sql)
{
    Statement s(*this, sql);
    return s.step() ? s.text(0) : QString();
}

Statement::Statement(SqliteDb &db, const char *sql) : m_db(db)
{
    const int rc = sqlite3_prepare_v3(db.handle(), sql, -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr);
    if (rc != SQLITE_OK)
        db.fail(rc, {});
    // Sized once: SQLite keeps pointers into these texts until the next bind.
    m_texts.resize(size_t(sqlite3_bind_parameter_count(m_stmt)) + 1);
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::bind(int index, qint64 value)
{
    sqlite3_bind_int64(m_stmt, index, value);
}

void Statement::bind(int index, const QString &text)
{
    if (index < 1 || size_t(index) >= m_texts.size())
        return; // no such parameter, as sqlite3_bind_text would say
    // The archive's texts are ASCII nearly always: narrowed in one plain loop.
    std::string &utf8 = m_texts[size_t(index)];
    utf8.resize(size_t(text.size()));
    const char16_t *from = reinterpret_cast<const char16_t *>(text.utf16());
    char *to = utf8.data();
    char16_t all = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        all |= from[i];
        to[i] = char(from[i]);
    }
    if (all >= 0x80)
        utf8 = text.toStdString();
    sqlite3_bind_text(m_stmt, index, utf8.data(), int(utf8.size()), SQLITE_STATIC);
}

void Statement::bind(int index, const std::optional<qint64> &value)
{
    if (value)
        sqlite3_bind_int64(m_stmt, index, *value);
    else
        sqlite3_bind_null(m_stmt, index);
}

void Statement::bind(int index, const std::optional<int> &value)
{
    if (value)
        sqlite3_bind_int(m_stmt, index, *value);
    else
        sqlite3_bind_null(m_stmt, index);
}

void Statement::bindReal(int index, double value)
{
    sqlite3_bind_double(m_stmt, index, value);
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // The statement's own error, before reset() could change it.
    sqlite3_reset(m_stmt);
    m_db.fail(rc, {});
}

int Statement::run()
{
    while (step()) {
    }
    const int changed = sqlite3_changes(m_db.handle());
    reset();
    return changed;
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

std::optional<qint64> Statement::optionalInteger(int column) const
{
    if (sqlite3_column_type(m_stmt, column) == SQLITE_NULL)
        return std::nullopt;
    return sqlite3_column_int64(m_stmt, column);
}

double Statement::real(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

QString Statement::text(int column) const
{
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(m_stmt, column));
}

QByteArray Statement::rawText(int column) const
{
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QByteArray::fromRawData(bytes ? bytes : "", sqlite3_column_bytes(m_stmt, column));
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

Transaction::Transaction(SqliteDb &db) : m_db(db)
{
    m_db.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction()
{
    if (m_open)
        sqlite3_exec(m_db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    m_db.exec("COMMIT");
    m_open = false;
}
