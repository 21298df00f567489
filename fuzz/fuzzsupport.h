#pragma once

// What every fuzz target shares: turning the fuzzer's bytes into the text the
// program would read, cutting an input into sections, and checking a
// property so that a failure stops the run with the input saved.

#include "base/regional.h"
#include "base/textlines.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            fuzzsupport::failed(#condition, __FILE__, __LINE__);                                             \
    } while (false)

using namespace Qt::StringLiterals;

namespace fuzzsupport {

[[noreturn]] inline void failed(const char *what, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n", file, line, what);
    std::abort();
}

inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The bytes as the program reads a file: UTF-8, else Latin-1 byte by byte.
inline QString textOf(const QByteArray &bytes)
{
    return TextLines::decode(bytes);
}

// The input cut at every line that reads exactly "--8<--": the sections of a
// seed written as text. Missing sections are absent (not empty) in the list.
inline QByteArrayList sections(const QByteArray &input)
{
    static const QByteArray cut = "\n--8<--\n";
    QByteArrayList parts;
    qsizetype from = 0;
    while (true) {
        const qsizetype at = input.indexOf(cut, from);
        if (at < 0) {
            parts << input.mid(from);
            return parts;
        }
        parts << input.mid(from, at - from);
        from = at + cut.size();
    }
}

// English settings without collation data (the C locale), or those of a
// real locale with its collation, as the user's machine would have them.
inline void useRegional(bool withCollation)
{
    static int current = -1;
    const int wanted = withCollation ? 1 : 0;
    if (current == wanted)
        return;
    current = wanted;
    setRegional(regionalFromLocale(withCollation ? QLocale(QLocale::English, QLocale::UnitedKingdom)
                                                 : QLocale::c()));
}

} // namespace fuzzsupport
