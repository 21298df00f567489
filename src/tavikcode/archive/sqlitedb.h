#pragma once

#include "base/tavikerror.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// A thin layer over SQLite's C API for the archive: a connection and its
// prepared statements as owned objects, and every failure as an error that
// keeps SQLite's result code, so that callers can tell a locked archive from
// a damaged one.

class SqliteError : public TavikError
{
public:
    SqliteError(int code, const QString &message) : TavikError(message), m_code(code) {}

    // The primary result code (SQLITE_BUSY, SQLITE_FULL, SQLITE_CORRUPT...).
    int code() const { return m_code; }
    // Not a database, or a database whose pages do not hold together.
    bool isDamage() const;

private:
    int m_code;
};

class SqliteDb
{
public:
    // Opens the file read-write (created when missing) or read-only. Throws
    // SqliteError.
    enum Mode { ReadWrite, ReadOnly };
    SqliteDb(const QString &fileName, Mode mode);
    ~SqliteDb();
    SqliteDb(const SqliteDb &) = delete;
    SqliteDb &operator=(const SqliteDb &) = delete;

    sqlite3 *handle() const { return m_db; }

    // Runs statements that return no rows. Throws SqliteError.
    void exec(const char *sql);
    // The first column of the first row of a statement, as an integer or text.
    qint64 integer(const char *sql);
    QString text(const char *sql);

    // Throws the connection's last error with the given context.
    [[noreturn]] void fail(int code, const QString &context) const;

private:
    sqlite3 *m_db = nullptr;
};

// A prepared statement. reset() keeps the bindings: every use binds all anew.
class Statement
{
public:
    Statement(SqliteDb &db, const char *sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // Parameters are numbered from 1.
    void bind(int index, qint64 value);
    void bind(int index, const QString &text);
    void bind(int index, const std::optional<qint64> &value);
    void bind(int index, const std::optional<int> &value);
    void bindReal(int index, double value);

    // One step: true while a row is at hand, false once done. Throws SqliteError.
    bool step();
    // Runs a statement that returns no rows to its end; the rows it changed.
    int run();
    void reset();

    qint64 integer(int column) const;
    std::optional<qint64> optionalInteger(int column) const;
    double real(int column) const;
    QString text(int column) const;
    // The column's UTF-8 bytes, valid until the next step; no copy.
    QByteArray rawText(int column) const;
    bool isNull(int column) const;

private:
    SqliteDb &m_db;
    sqlite3_stmt *m_stmt = nullptr;
    // The UTF-8 of bound texts, kept until the next bind: no allocation per row.
    std::vector<std::string> m_texts;
};

// A write transaction (BEGIN IMMEDIATE): rolled back unless committed.
class Transaction
{
public:
    explicit Transaction(SqliteDb &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    SqliteDb &m_db;
    bool m_open = true;
};
