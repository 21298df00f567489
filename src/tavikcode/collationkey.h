#pragma once

#include <QCollator>
#include <QCollatorSortKey>
#include <QString>

#include <optional>

// A precomputed sort key under a collator, so that sorting many lines costs
// one collator call per line rather than one per comparison. The C locale has
// no collation data: its keys compare the (case-folded) text by code unit.
class CollationKey
{
public:
    CollationKey(const QCollator &collator, const QString &text);

    int compare(const CollationKey &other) const;
    bool operator<(const CollationKey &other) const { return compare(other) < 0; }

private:
    std::optional<QCollatorSortKey> m_icu;
    QString m_plain;
};
