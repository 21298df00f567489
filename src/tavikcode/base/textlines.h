#pragma once

#include "collationkey.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <vector>

// An ordered list of text lines: the form of every data file of the program.
//
// Loading splits at CR, LF or CR LF; a break at the very end adds no empty
// line. Saving writes every line followed by CR LF, as UTF-8, replacing the
// file atomically. An unsorted list keeps insertion order and duplicates. A
// sorted list keeps ascending order under the regional collation with case
// ignored, and adding a line equal (case ignored) to one it holds does nothing.
class TextLines
{
public:
    enum Order { Unsorted, Sorted };

    explicit TextLines(Order order = Unsorted) : m_order(order) {}

    Order order() const { return m_order; }

    // Replaces the content with the lines of the file. Throws TavikError.
    void loadFromFile(const QString &name);
    // Writes the lines to the file, replacing it atomically. Throws TavikError.
    void saveToFile(const QString &name) const;

    // Replaces the content with the lines of a text.
    void setText(QStringView text);
    // Replaces the content with the given lines (sorted lists sort them and drop duplicates).
    void setLines(const QStringList &lines);

    // Every line followed by CR LF, UTF-8 encoded: the bytes saveToFile writes.
    QByteArray toBytes() const;

    qsizetype count() const;
    bool isEmpty() const { return count() == 0; }
    // The line at index i; an index outside the list throws TavikError.
    const QString &at(qsizetype i) const;
    const QStringList &lines() const;

    void add(const QString &line);
    void addLines(const QStringList &lines);
    void removeAt(qsizetype i);
    void truncate(qsizetype n);
    void clear();

    // Sorts once with a comparison of two indexes (negative, zero or positive,
    // as for i before j). Stable. Only for unsorted lists.
    void sort(const std::function<int(const TextLines &, qsizetype, qsizetype)> &compare);

    // Splits a text at CR, LF or CR LF.
    static QStringList splitLines(QStringView text);
    // Decodes file bytes: a UTF-8 byte order mark is dropped; each byte that is
    // not part of valid UTF-8 is taken as Latin-1, so that no character is lost
    // and the valid text around it stays as it was.
    static QString decode(const QByteArray &bytes);

private:
    void settle() const;

    Order m_order;
    mutable QStringList m_lines;
    mutable QStringList m_pending;            // sorted lists: added, not yet merged
};
