// ReadAttribute and the plain search behind it, over any line: the value is
// what the plain reading of a line gives (first occurrence, 50-character
// window, up to the next double quote), and the fast search finds what
// QString's own search finds.
#include "fuzzsupport.h"

#include "processing/reportline.h"
#include "processing/responsepass.h"

#include <QStringList>

namespace {

const QStringList &searchTexts()
{
    static const QStringList texts = {
        search::kFlowStartSeconds, search::kReceiverCallsign, search::kSnr,
        search::kFrequency,        search::kMode,             search::kReceiverLocator,
        search::kDxcc,             search::kActiveReceiverCallsign, search::kLocator,
        search::kSenderMarker,     search::kActiveReceiverMarker,   search::kSequenceMarker,
    };
    return texts;
}

// The reading as a plain procedure: find, take 50 characters, drop up to the
// first quote, keep up to the next.
QString plainRead(const QString &line, const QString &searchText)
{
    const qsizetype p = line.indexOf(searchText);
    if (p < 0)
        return {};
    const QString window = line.mid(p, 50);
    const QString rest = window.mid(window.indexOf(u'"') + 1);
    const qsizetype close = rest.indexOf(u'"');
    return close < 0 ? QString() : rest.left(close);
}

void checkSearch(const QString &line, const QString &searchText)
{
    if (searchText.isEmpty())
        return;
    FUZZ_CHECK(findSearchText(line, searchText) == line.indexOf(searchText));
}

void checkLine(const QString &line)
{
    for (const QString &text : searchTexts()) {
        checkSearch(line, text);
        if (!text.endsWith(u'"'))
            continue;
        const QString value = ReadAttribute(line, text);
        FUZZ_CHECK(value == plainRead(line, text));
        FUZZ_CHECK(value.size() <= 50 - text.size() - 1);
        FUZZ_CHECK(!value.contains(u'"'));
    }
    // Pieces of the line itself, with and without an equals sign, and each
    // with its last character changed, so that both hits and near misses occur.
    const qsizetype n = line.size();
    for (qsizetype k = 1; k <= 4 && n > 0; ++k) {
        const qsizetype start = (k * 7919 + n * 31) % n;
        const qsizetype length = 1 + (k * 104729 + n) % std::min<qsizetype>(30, n - start);
        QString piece = line.mid(start, length);
        checkSearch(line, piece);
        piece.back() = QChar(char16_t(piece.back().unicode() ^ 1));
        checkSearch(line, piece);
    }
    // The sequence number is read with a window of its own.
    const QString seq = readSequenceNumber(line);
    FUZZ_CHECK(seq.size() <= 19);
    FUZZ_CHECK(!seq.contains(u'"'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzzsupport::textOf(fuzzsupport::bytesOf(data, size));
    checkLine(text);
    for (const QString &line : TextLines::splitLines(text))
        checkLine(line);
    return 0;
}
