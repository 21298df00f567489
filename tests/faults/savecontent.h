#pragma once

#include <QString>
#include <QStringList>

// The two report histories that tavik_save_helper saves in turn: large
// enough that a save takes a while, and different in every line.
inline QStringList saveContent(char which)
{
    QStringList lines;
    lines.reserve(60000);
    for (int i = 0; i < 60000; ++i) {
        lines << QStringLiteral("%1%2 %3Dec2026 12:%4:%5,  DL%6ABC,    \t-12,\t20m, FT8, JO62, Germany, ")
                     .arg(QChar::fromLatin1(which))
                     .arg(i)
                     .arg(i % 28 + 1, 2, 10, QChar(u'0'))
                     .arg(i % 60, 2, 10, QChar(u'0'))
                     .arg(i / 60 % 60, 2, 10, QChar(u'0'))
                     .arg(i % 10);
    }
    return lines;
}
