#include "numbertext.h"

#include <QVarLengthArray>

#include <charconv>
#include <cmath>

namespace {

// The text as ASCII for the number parsers; other characters become '?',
// which no number holds.
QVarLengthArray<char, 64> ascii(QStringView text)
{
    QVarLengthArray<char, 64> bytes(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        bytes[i] = c < 0x80 ? char(c) : '?';
    }
    return bytes;
}

// from_chars takes no leading plus sign: one is stepped over unless another
// sign follows it.
template<class T, class... Format>
std::optional<T> parse(QStringView text, Format... format)
{
    const auto bytes = ascii(text);
    const char *begin = bytes.constData();
    const char *end = begin + bytes.size();
    if (begin != end && *begin == '+') {
        ++begin;
        if (begin != end && *begin == '-')
            return std::nullopt;
    }
    T value{};
    const auto [stop, error] = std::from_chars(begin, end, value, format...);
    if (begin == end || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<qint64> wholeNumberText(QStringView text)
{
    return parse<qint64>(text, 10);
}

std::optional<double> decimalNumberText(QStringView text)
{
    const std::optional<double> value = parse<double>(text, std::chars_format::general);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}
