#include "../../formfixture.h"
#include "../views/viewsupport.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>

class FindTest : public FormTest
{
protected:
    static void press(QWidget *target, Qt::MouseButton button)
    {
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), button,
                          button, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }
    static QStringList popup(const QString &middle = {})
    {
        QStringList lines{"Partial/exact matches.."_qs, ""_qs};
        if (!middle.isEmpty())
            lines << middle.split(u'|');
        return lines << ""_qs << ""_qs << "Click to close.."_qs;
    }
};

TEST_F(FindTest, EveryLineHoldingTheTextIsListedInOrder)
{
    TForm1 &f = create();
    f.RichEdit1->setPlainText("07Dec2026, G4ABC, -12\n07Dec2026, K1ABC, -3\n06Dec2026, G4ABD, +2"_qs);
    f.Edit3->setText("G4AB"_qs);
    f.Edit3KeyPress(u'\r');
    EXPECT_EQ(viewLines(f.RichEdit3), popup("07Dec2026, G4ABC, -12|06Dec2026, G4ABD, +2"_qs));
    EXPECT_FALSE(f.RichEdit3->isHidden());
    EXPECT_EQ(f.Edit3->text(), "FIND.."_qs);
}

TEST_F(FindTest, SearchesWithoutAMatchLeaveAHiddenPopupHidden)
{
    struct Case {
        const char *list, *wanted;
    };
    // Case matters; an empty list and an empty find box match nothing;
    // Enter straight after a search looks for "FIND..".
    const Case cases[] = {{"g4abc, k1abc", "G4"}, {"", "G4"}, {"G4ABC", ""}, {"G4ABC", "FIND.."}};
    for (const Case &c : cases) {
        TForm1 &f = create();
        f.RichEdit1->setPlainText(QString::fromUtf8(c.list));
        f.Edit3->setText(QString::fromUtf8(c.wanted));
        f.FindMatches();
        EXPECT_TRUE(f.RichEdit3->isHidden()) << c.list << "/" << c.wanted;
        EXPECT_EQ(viewLines(f.RichEdit3), popup()) << c.list << "/" << c.wanted;
    }
}

TEST_F(FindTest, SearchWithoutAMatchKeepsAnOpenPopupOpen)
{
    TForm1 &f = create();
    f.RichEdit1->setPlainText("G4ABC\nK1ABC"_qs);
    f.Edit3->setText("K1"_qs);
    f.FindMatches();
    ASSERT_FALSE(f.RichEdit3->isHidden());
    f.FindMatches(); // the find box now says "FIND.."
    EXPECT_FALSE(f.RichEdit3->isHidden());
    EXPECT_EQ(viewLines(f.RichEdit3), popup());
}

TEST_F(FindTest, ALongLineIsOneLineAndAnEmptyLastLineIsNoLine)
{
    TForm1 &f = create();
    const QString longLine = QString(300, u'x') + "G4ABC"_qs;
    f.RichEdit1->setPlainText(longLine + "\n"_qs);
    f.Edit3->setText("G4ABC"_qs);
    f.FindMatches();
    EXPECT_EQ(viewLines(f.RichEdit3), popup(longLine));
}

TEST_F(FindTest, AnyMouseButtonOnThePopupClosesIt)
{
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        TForm1 &f = create();
        f.RichEdit1->setPlainText("G4ABC"_qs);
        f.Edit3->setText("G4"_qs);
        f.FindMatches();
        f.Edit3->setText("typed"_qs);
        press(f.RichEdit3->viewport(), button);
        EXPECT_TRUE(f.RichEdit3->isHidden()) << button;
        EXPECT_EQ(f.Edit3->text(), "FIND.."_qs) << button;
    }
}

TEST_F(FindTest, ALeftClickIntoTheFindBoxEmptiesIt)
{
    TForm1 &f = create();
    press(f.Edit3, Qt::RightButton);
    EXPECT_EQ(f.Edit3->text(), "FIND...."_qs);
    press(f.Edit3, Qt::LeftButton);
    EXPECT_TRUE(f.Edit3->text().isEmpty());
    EXPECT_EQ(f.RichEdit3->contextMenuPolicy(), Qt::NoContextMenu);
}

TEST_F(FindTest, MeFindsTheOperatorsCallsign)
{
    TForm1 &f = create();
    f.RichEdit1->setPlainText("G4XYZ heard\nK1ABC heard"_qs);
    f.Button5Click(); // no callsign yet: nothing is found
    EXPECT_TRUE(f.RichEdit3->isHidden());
    f.state.Callsign = "G4XYZ"_qs;
    f.Button5Click();
    EXPECT_EQ(viewLines(f.RichEdit3), popup("G4XYZ heard"_qs));
    EXPECT_FALSE(f.RichEdit3->isHidden());
}
