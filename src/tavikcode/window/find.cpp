// Find: the lines of the list view that hold the text of the find box.
#include "tform1.h"

#include "views/linewriter.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>

void TForm1::FindMatches()
{
    const QString wanted = Edit3->text();
    RichEdit3->clear();
    {
        LineWriter popup(RichEdit3);
        popup.append(QStringLiteral("Partial/exact matches.."));
        popup.append(QString());
        // An empty list view is searched as one empty line.
        const qsizetype lines = std::max<qsizetype>(lineCount(RichEdit1), 1);
        for (qsizetype i = 0; i < lines; ++i) {
            const QString line = lineAt(RichEdit1, i);
            if (!wanted.isEmpty() && line.contains(wanted, Qt::CaseSensitive)) {
                RichEdit3->show();
                popup.append(line);
            }
        }
        popup.append(QString());
        popup.append(QString());
        popup.append(QStringLiteral("Click to close.."));
    }
    // An open popup is where the keyboard reads the matches; Escape closes it.
    if (RichEdit3->isVisible())
        RichEdit3->setFocus();
    Edit3->setText(QStringLiteral("FIND.."));
}

void TForm1::Edit3KeyPress(QChar key)
{
    if (key == u'\r')
        FindMatches();
}

void TForm1::Edit3Click()
{
    Edit3->clear();
}

void TForm1::RichEdit3MouseDown()
{
    const bool hadFocus = RichEdit3->hasFocus();
    RichEdit3->hide();
    if (hadFocus)
        Edit3->setFocus();
    Edit3->setText(QStringLiteral("FIND.."));
}

void TForm1::Button5Click()
{
    Edit3->setText(state.Callsign);
    FindMatches();
}
