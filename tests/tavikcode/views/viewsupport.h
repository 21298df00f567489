#pragma once

#include <QColor>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>

#include <vector>

// Reading a text view back: its paragraphs and the colour each was written in.
inline QStringList viewLines(const QPlainTextEdit *view)
{
    QStringList lines;
    for (QTextBlock b = view->document()->begin(); b.isValid(); b = b.next())
        lines << b.text();
    if (lines.size() == 1 && lines.first().isEmpty())
        lines.clear();
    return lines;
}

// The text colour of each paragraph (of its first character; an empty
// paragraph gives its own character format's colour).
inline std::vector<QColor> viewColours(const QPlainTextEdit *view)
{
    std::vector<QColor> colours;
    for (QTextBlock b = view->document()->begin(); b.isValid(); b = b.next()) {
        const QTextBlock::iterator it = b.begin();
        const QTextCharFormat format = it.atEnd() ? b.charFormat() : it.fragment().charFormat();
        colours.push_back(format.foreground().color());
    }
    return colours;
}

// A report line as the report history holds it.
inline QString reportLine(const QString &dateTime, const QString &call, const QString &snr = QStringLiteral("-12"),
                          const QString &band = QStringLiteral("20m"))
{
    return dateTime + QStringLiteral(",  ") + call + QStringLiteral(",    \t") + snr + QStringLiteral(",\t") + band
        + QStringLiteral(", FT8, IO91, England, ");
}

// Lines joined as the program writes them: each ended by CR LF.
inline QByteArray crlfLines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

inline const QColor kBlackText(0x00, 0x00, 0x00);
inline const QColor kBlueText(0x00, 0x00, 0xFF);
inline const QColor kRedText(0xFF, 0x00, 0x00);
inline const QColor kGreenText(0x00, 0x80, 0x00);
