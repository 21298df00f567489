#pragma once

#include <QCollator>
#include <QCollatorSortKey>
#include <QString>

#include <optional>

// A precomputed sort key under a collator, so that sorting many lines costs
// one collator call per line rather than one per comparison. The C locale has
// no collation data: its keys compare the text by code unit (case folded when
// the collator ignores case).
class CollationKey
{
public:
    CollationKey(const QCollator &collator, const QString &text);

    int compare(const CollationKey &other) const;
    bool operator<(const CollationKey &other) const { return compare(other) < 0; }

private:
    std::optional<QCollatorSortKey> m_icu;
    QString m_plain;
    Qt::CaseSensitivity m_case = Qt::CaseSensitive;
};

// The comparison that keys stand for, made directly: cheaper than making two
// keys when a text takes part in only a few comparisons (checking that lines
// are already in order, merging a few lines into many, breaking rare ties).
class TextCollation
{
public:
    explicit TextCollation(const QCollator &collator);

    int compare(QStringView a, QStringView b) const;
    int operator()(QStringView a, QStringView b) const { return compare(a, b); }

private:
    const QCollator &m_collator;
    bool m_plain;
    Qt::CaseSensitivity m_case;
};
