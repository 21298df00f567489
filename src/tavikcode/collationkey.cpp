#include "collationkey.h"

#include <QLocale>

CollationKey::CollationKey(const QCollator &collator, const QString &text)
{
    if (collator.locale().language() == QLocale::C) {
        m_plain = collator.caseSensitivity() == Qt::CaseInsensitive ? text.toCaseFolded() : text;
    } else {
        m_icu.emplace(collator.sortKey(text));
    }
}

int CollationKey::compare(const CollationKey &other) const
{
    if (m_icu && other.m_icu)
        return m_icu->compare(*other.m_icu);
    return m_plain.compare(other.m_plain);
}
