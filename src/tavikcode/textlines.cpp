#include "textlines.h"

#include "fileutil.h"
#include "regional.h"
#include "tavikerror.h"

#include <QStringDecoder>

#include <algorithm>
#include <numeric>

QStringList TextLines::splitLines(QStringView text)
{
    QStringList result;
    qsizetype start = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            result << text.mid(start, i - start).toString();
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < n)
        result << text.mid(start).toString();
    return result;
}

QString TextLines::decode(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (utf8.hasError())
        return QString::fromLatin1(view);
    return text;
}

void TextLines::loadFromFile(const QString &name)
{
    setText(decode(fileutil::readFile(name)));
}

QByteArray TextLines::toBytes() const
{
    settle();
    QByteArray bytes;
    qsizetype size = 0;
    for (const QString &line : std::as_const(m_lines))
        size += line.size() + 2;
    bytes.reserve(size);
    for (const QString &line : std::as_const(m_lines)) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

void TextLines::saveToFile(const QString &name) const
{
    fileutil::writeFileAtomically(name, toBytes());
}

void TextLines::setText(QStringView text)
{
    setLines(splitLines(text));
}

void TextLines::setLines(const QStringList &lines)
{
    clear();
    if (m_order == Unsorted)
        m_lines = lines;
    else
        m_pending = lines;
}

qsizetype TextLines::count() const
{
    settle();
    return m_lines.size();
}

const QString &TextLines::at(qsizetype i) const
{
    settle();
    if (i < 0 || i >= m_lines.size())
        throw TavikError(QStringLiteral("List index out of bounds (%1)").arg(i));
    return m_lines.at(i);
}

const QStringList &TextLines::lines() const
{
    settle();
    return m_lines;
}

void TextLines::add(const QString &line)
{
    if (m_order == Unsorted)
        m_lines << line;
    else
        m_pending << line;
}

void TextLines::addLines(const QStringList &lines)
{
    if (m_order == Unsorted)
        m_lines << lines;
    else
        m_pending << lines;
}

void TextLines::removeAt(qsizetype i)
{
    settle();
    if (i < 0 || i >= m_lines.size())
        throw TavikError(QStringLiteral("List index out of bounds (%1)").arg(i));
    m_lines.removeAt(i);
    if (m_order == Sorted)
        m_keys.erase(m_keys.begin() + i);
}

void TextLines::truncate(qsizetype n)
{
    settle();
    if (n < 0 || n >= m_lines.size())
        return;
    m_lines.resize(n);
    if (m_order == Sorted)
        m_keys.erase(m_keys.begin() + n, m_keys.end());
}

void TextLines::clear()
{
    m_lines.clear();
    m_keys.clear();
    m_pending.clear();
}

void TextLines::sort(const std::function<int(const TextLines &, qsizetype, qsizetype)> &compare)
{
    if (m_order == Sorted)
        return;
    std::vector<qsizetype> order(size_t(m_lines.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return compare(*this, a, b) < 0; });
    QStringList sorted;
    sorted.reserve(m_lines.size());
    for (qsizetype i : order)
        sorted << m_lines.at(i);
    m_lines = sorted;
}

// Merges the lines added since the last read into the sorted list. The first
// of several equal lines wins: a held line over an added one, and among added
// lines the one added first.
void TextLines::settle() const
{
    if (m_order == Unsorted || m_pending.isEmpty())
        return;
    const QCollator &collator = collatorIgnoringCase();
    std::vector<std::pair<CollationKey, qsizetype>> added;
    added.reserve(size_t(m_pending.size()));
    for (qsizetype i = 0; i < m_pending.size(); ++i)
        added.emplace_back(CollationKey(collator, m_pending.at(i)), i);
    std::stable_sort(added.begin(), added.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });

    QStringList lines;
    std::vector<CollationKey> keys;
    lines.reserve(m_lines.size() + m_pending.size());
    keys.reserve(m_keys.size() + added.size());
    size_t i = 0;
    size_t j = 0;
    while (i < m_keys.size() || j < added.size()) {
        if (j < added.size() && !keys.empty() && added[j].first.compare(keys.back()) == 0) {
            ++j; // equal to a line already taken
            continue;
        }
        const bool takeHeld = j >= added.size()
            || (i < m_keys.size() && m_keys[i].compare(added[j].first) <= 0);
        if (takeHeld) {
            lines << m_lines.at(qsizetype(i));
            keys.push_back(m_keys[i]);
            ++i;
        } else {
            lines << m_pending.at(added[j].second);
            keys.push_back(added[j].first);
            ++j;
        }
    }
    m_lines = std::move(lines);
    m_keys = std::move(keys);
    m_pending.clear();
}
