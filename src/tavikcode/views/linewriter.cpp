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

void LineWriter::append(const QString &text, const QColor &colour)
{
    if (!m_lastFormat.isValid() || colour != m_lastColour) {
        m_lastFormat = QTextCharFormat();
        m_lastFormat.setForeground(colour);
        m_lastFormat.setFontWeight(QFont::Normal);
        m_lastFormat.setFontItalic(false);
        m_lastFormat.setFontUnderline(false);
        m_lastFormat.setFontStrikeOut(false);
        m_lastColour = colour;
    }
    appendWith(text, m_lastFormat);
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
        m_cursor.insertBlock(QTextBlockFormat(), format);
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
