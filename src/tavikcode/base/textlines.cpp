#include "textlines.h"

#include "fileutil.h"
#include "regional.h"
#include "tavikerror.h"

#include <QStringDecoder>

#include <algorithm>
#include <numeric>

QStringList TextLines::splitLines(QStringView text)
{
    const char16_t *const begin = text.utf16();
    const char16_t *const end = begin + text.size();
    qsizetype breaks = 0;
    for (const char16_t *p = begin; p != end; ++p)
        breaks += (*p == u'\r') | (*p == u'\n');
    QStringList result;
    result.reserve(breaks + 1);

    const char16_t *start = begin;
    for (const char16_t *p = begin; p != end; ++p) {
        if (*p != u'\r' && *p != u'\n')
            continue;
        result.emplaceBack(reinterpret_cast<const QChar *>(start), p - start);
        if (*p == u'\r' && p + 1 != end && p[1] == u'\n')
            ++p;
        start = p + 1;
    }
    if (start != end)
        result.emplaceBack(reinterpret_cast<const QChar *>(start), end - start);
    return result;
}

namespace {

// The length of the well-formed UTF-8 sequence at the start of bytes, or 0.
qsizetype utf8SequenceAt(QByteArrayView bytes)
{
    const auto byte = [&bytes](qsizetype i) { return i < bytes.size() ? uchar(bytes[i]) : 0u; };
    const auto continuation = [&byte](qsizetype i) { return (byte(i) & 0xC0u) == 0x80u; };
    const uchar lead = byte(0);
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return continuation(1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        // No overlong forms and no surrogates.
        const uchar low = lead == 0xE0 ? 0xA0 : 0x80;
        const uchar high = lead == 0xED ? 0x9F : 0xBF;
        return byte(1) >= low && byte(1) <= high && continuation(2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const uchar low = lead == 0xF0 ? 0x90 : 0x80;
        const uchar high = lead == 0xF4 ? 0x8F : 0xBF;
        return byte(1) >= low && byte(1) <= high && continuation(2) && continuation(3) ? 4 : 0;
    }
    return 0;
}

} // namespace

QString TextLines::decode(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;

    // Some bytes are not UTF-8. Those alone are taken as Latin-1: a history
    // with one damaged line keeps every other line exactly as it was written.
    text.clear();
    text.reserve(view.size());
    // A stretch may begin with U+FEFF; it is text there, not a byte order mark.
    QStringDecoder stretch(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    qsizetype i = 0;
    while (i < view.size()) {
        const qsizetype start = i;
        while (i < view.size()) {
            const qsizetype n = utf8SequenceAt(view.sliced(i));
            if (n == 0)
                break;
            i += n;
        }
        text += stretch.decode(view.sliced(start, i - start));
        if (i < view.size())
            text += QChar(char16_t(uchar(view[i++])));
    }
    return text;
}

void TextLines::loadFromFile(const QString &name)
{
    setText(decode(fileutil::readFile(name)));
}

QByteArray TextLines::toBytes() const
{
    settle();
    // One buffer of the largest size the text can take, filled in place.
    QStringEncoder utf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    // Reading drops one byte order mark at the start; a first line that
    // begins with that character gets one in front, so that it reads back whole.
    const bool markFirst = !m_lines.isEmpty() && m_lines.constFirst().startsWith(QChar(0xFEFF));
    qsizetype room = markFirst ? 3 : 0;
    for (const QString &line : std::as_const(m_lines))
        room += utf8.requiredSpace(line.size()) + 2;
    QByteArray bytes(room, Qt::Uninitialized);
    char *out = bytes.data();
    if (markFirst)
        out = std::copy_n("\xEF\xBB\xBF", 3, out);
    for (const QString &line : std::as_const(m_lines)) {
        out = utf8.appendToBuffer(out, line);
        *out++ = '\r';
        *out++ = '\n';
    }
    bytes.truncate(out - bytes.constData());
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
}

void TextLines::truncate(qsizetype n)
{
    settle();
    if (n < 0 || n >= m_lines.size())
        return;
    m_lines.resize(n);
}

void TextLines::clear()
{
    m_lines.clear();
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

namespace {

// Merges two ascending lists without equal lines into one; of two equal lines
// the one of `first` is kept. Gallops through `first`, so merging a few lines
// into many costs a few comparisons per merged line.
template<typename Compare>
QStringList mergeAscending(QStringList &first, QStringList &second, const Compare &compare)
{
    if (second.isEmpty())
        return std::move(first);
    if (first.isEmpty())
        return std::move(second);
    QStringList merged;
    merged.reserve(first.size() + second.size());
    const qsizetype n = first.size();
    qsizetype i = 0;
    for (QString &line : second) {
        // Find the first j >= i with first[j] >= line: widen the step, then halve it.
        qsizetype low = i;
        qsizetype high = i;
        qsizetype step = 1;
        while (high < n && compare(first.at(high), line) < 0) {
            low = high + 1;
            high = std::min(n, high + step);
            step *= 2;
        }
        while (low < high) {
            const qsizetype mid = low + (high - low) / 2;
            if (compare(first.at(mid), line) < 0)
                low = mid + 1;
            else
                high = mid;
        }
        for (; i < low; ++i)
            merged << std::move(first[i]);
        if (i < n && compare(first.at(i), line) == 0)
            continue;
        merged << std::move(line);
    }
    for (; i < n; ++i)
        merged << std::move(first[i]);
    return merged;
}

} // namespace

// Merges the lines added since the last read into the sorted list. The first
// of several equal lines wins: a held line over an added one, and among added
// lines the one added first.
//
// Added lines mostly come as a file that the program wrote in order, followed
// by a few new ones. So the leading run of added lines that is already in
// strict order is taken as it stands, checked with one comparison per line;
// only the lines after it are sorted, by precomputed keys; then both are
// merged into the held lines.
void TextLines::settle() const
{
    if (m_order == Unsorted || m_pending.isEmpty())
        return;
    const QCollator &collator = collatorIgnoringCase();
    const TextCollation compare(collator);

    QStringList pending = std::move(m_pending);
    m_pending.clear();
    qsizetype run = 1;
    while (run < pending.size() && compare(pending.at(run - 1), pending.at(run)) < 0)
        ++run;

    QStringList rest;
    if (run < pending.size()) {
        std::vector<std::pair<CollationKey, qsizetype>> added;
        added.reserve(size_t(pending.size() - run));
        for (qsizetype i = run; i < pending.size(); ++i)
            added.emplace_back(CollationKey(collator, pending.at(i)), i);
        std::vector<size_t> order(added.size());
        std::iota(order.begin(), order.end(), size_t(0));
        std::stable_sort(order.begin(), order.end(),
                         [&added](size_t a, size_t b) { return added[a].first < added[b].first; });
        rest.reserve(qsizetype(order.size()));
        const CollationKey *previous = nullptr;
        for (size_t k : order) {
            if (previous && added[k].first.compare(*previous) == 0)
                continue; // equal to a line added before it
            previous = &added[k].first;
            rest << std::move(pending[added[k].second]);
        }
        pending.resize(run);
    }

    QStringList held = std::move(m_lines);
    QStringList merged = mergeAscending(held, pending, compare);
    m_lines = mergeAscending(merged, rest, compare);
}
