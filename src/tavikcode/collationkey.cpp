#include "collationkey.h"

#include <QLocale>

CollationKey::CollationKey(const QCollator &collator, const QString &text)
{
    if (collator.locale().language() == QLocale::C) {
        m_plain = text;
        m_case = collator.caseSensitivity();
    } else {
        m_icu.emplace(collator.sortKey(text));
    }
}

int CollationKey::compare(const CollationKey &other) const
{
    if (m_icu && other.m_icu)
        return m_icu->compare(*other.m_icu);
    return m_plain.compare(other.m_plain, m_case);
}

TextCollation::TextCollation(const QCollator &collator)
    : m_collator(collator),
      m_plain(collator.locale().language() == QLocale::C),
      m_case(collator.caseSensitivity())
{
}

int TextCollation::compare(QStringView a, QStringView b) const
{
    return m_plain ? a.compare(b, m_case) : m_collator.compare(a, b);
}
