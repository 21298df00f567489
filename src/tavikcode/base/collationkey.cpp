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
    if (m_plain)
        return a.compare(b, m_case);
    // QCollator puts an empty text before any other, also before one of
    // characters that the collation ignores (NUL, control characters), which
    // its sort keys hold equal to it; the keys decide, so that both agree.
    if (a.isEmpty() != b.isEmpty())
        return m_collator.sortKey(a.toString()).compare(m_collator.sortKey(b.toString()));
    return m_collator.compare(a, b);
}
