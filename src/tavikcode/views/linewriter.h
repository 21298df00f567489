#pragma once

#include <QColor>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>

#include <utility>
#include <vector>

class QPlainTextEdit;

// Appends lines to a text view as one edit of its document, each line in its
// own text colour. The view lays its text out once, when the writer goes, and
// then only the part it shows, so a fill of many thousand lines stays quick.
class LineWriter
{
public:
    explicit LineWriter(QPlainTextEdit *view);
    ~LineWriter();
    LineWriter(const LineWriter &) = delete;
    LineWriter &operator=(const LineWriter &) = delete;

    // A line in plain style and the given colour.
    void append(const QString &text, const QColor &colour);
    // A line in the view's own text format.
    void append(const QString &text);

private:
    void appendWith(const QString &text, const QTextCharFormat &format);

    const QTextCharFormat &formatFor(const QColor &colour);

    QTextCursor m_cursor;
    bool m_atStart;
    QTextBlockFormat m_blockFormat;
    // The views use a few colours each; their formats are made once.
    std::vector<std::pair<QColor, QTextCharFormat>> m_formats;
};

// The view's lines are the paragraphs of its text, a wrapped line counting as
// one. An empty last line is not counted, so an empty view has no line.
qsizetype lineCount(const QPlainTextEdit *view);
// Line i of the view; empty for an index outside the view.
QString lineAt(const QPlainTextEdit *view, qsizetype i);
