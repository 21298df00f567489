#include "linewriter.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

#include <climits>

LineWriter::LineWriter(QPlainTextEdit *view)
    : m_cursor(view->document()), m_atStart(view->document()->isEmpty())
{
    m_cursor.movePosition(QTextCursor::End);
    m_cursor.beginEditBlock();
}

LineWriter::~LineWriter()
{
    m_cursor.endEditBlock();
}

const QTextCharFormat &LineWriter::formatFor(const QColor &colour)
{
    for (const auto &[known, format] : m_formats) {
        if (known == colour)
            return format;
    }
    QTextCharFormat format;
    format.setForeground(colour);
    format.setFontWeight(QFont::Normal);
    format.setFontItalic(false);
    format.setFontUnderline(false);
    format.setFontStrikeOut(false);
    m_formats.emplace_back(colour, format);
    return m_formats.back().second;
}

void LineWriter::append(const QString &text, const QColor &colour)
{
    appendWith(text, formatFor(colour));
}

void LineWriter::append(const QString &text)
{
    appendWith(text, QTextCharFormat());
}

void LineWriter::appendWith(const QString &text, const QTextCharFormat &format)
{
    if (m_atStart) {
        // The first line goes into the empty paragraph an empty document holds.
        m_cursor.setBlockCharFormat(format);
        m_atStart = false;
    } else {
        m_cursor.insertBlock(m_blockFormat, format);
    }
    m_cursor.insertText(text, format);
}

qsizetype lineCount(const QPlainTextEdit *view)
{
    const QTextDocument *document = view->document();
    qsizetype count = document->blockCount();
    if (document->lastBlock().length() <= 1) // holds only the paragraph end
        --count;
    return count;
}

QString lineAt(const QPlainTextEdit *view, qsizetype i)
{
    if (i < 0 || i > INT_MAX)
        return {};
    const QTextBlock block = view->document()->findBlockByNumber(int(i));
    return block.isValid() ? block.text() : QString();
}
