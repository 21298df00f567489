#include "parts/widgets.h"

#include "../../formfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

using WindowTest = FormTest;

TEST_F(WindowTest, ControlsStandInPlaceWithTheirTextsAndVisibility)
{
    TForm1 &f = create();
    struct Case { const char *name; QRect geometry; bool hidden; };
    const Case cases[] = {
        {"Button6", {72, 0, 25, 17}, true},     {"Button5", {100, 1, 25, 17}, true},
        {"Edit3", {128, 0, 41, 21}, false},     {"Shape1", {272, 0, 17, 17}, false},
        {"Button1", {408, 0, 49, 17}, false},   {"Edit5", {412, 17, 41, 21}, true},
        {"Button7", {408, 41, 50, 19}, false},  {"Shape2", {230, 21, 57, 12}, true},
        {"ProgressBar1", {3, 29, 169, 7}, false}, {"ComboBox1", {4, 38, 113, 21}, false},
        {"Edit1", {121, 38, 49, 21}, false},    {"CheckBox1", {174, 48, 89, 17}, false},
        {"RichEdit3", {24, 72, 337, 249}, true}, {"Panel1", {112, 88, 241, 73}, true},
    };
    for (const Case &c : cases) {
        auto *w = f.findChild<QWidget *>(QString::fromLatin1(c.name));
        ASSERT_NE(w, nullptr) << c.name;
        EXPECT_EQ(w->geometry(), c.geometry) << c.name;
        EXPECT_EQ(w->isHidden(), c.hidden) << c.name;
    }
    EXPECT_EQ(f.Label11->text(), "Callsign"_qs);
    EXPECT_EQ(f.Label11->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(f.Label11->font().bold());
    EXPECT_EQ(f.Edit3->text(), "FIND...."_qs);
    EXPECT_EQ(f.Edit3->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0x80));
    EXPECT_EQ(f.Button7->text(), "Clr Files"_qs);
    EXPECT_EQ(f.Button7->toolTip(), "Clear data files to reset history."_qs);
    EXPECT_EQ(f.Label13->text(), "Seq#:"_qs);
    EXPECT_EQ(f.Label12->text(), "     "_qs);
    EXPECT_EQ(f.Label14->text(), "Enter your callsign.... then press Enter....."_qs);
    EXPECT_EQ(f.ComboBox1->count(), 3);
    EXPECT_EQ(f.ComboBox1->currentText(), "Last signal reports"_qs);
    EXPECT_EQ(f.CheckBox1->text(), "Alternate View"_qs);
    EXPECT_FALSE(f.CheckBox1->isChecked());
    EXPECT_EQ(f.Edit1->text(), "0"_qs);
    EXPECT_EQ(f.StringGrid1->columnCount(), 7);
    EXPECT_EQ(f.StringGrid1->rowCount(), 50);
    EXPECT_TRUE(f.StringGrid1->isHidden());
    EXPECT_TRUE(f.Label15->isHidden());
    EXPECT_EQ(f.Label15->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
    EXPECT_FALSE(f.Timer1->isActive());
}

TEST_F(WindowTest, ResizingKeepsTheTableOverTheListAndTheLinkNearTheBottom)
{
    TForm1 &f = create();
    f.show(); // a hidden window gets its resize events only when shown
    for (int height : {300, 427, 600}) {
        f.resize(600, height);
        EXPECT_EQ(f.width(), 475);
        EXPECT_EQ(f.RichEdit1->height(), height - 120);
        EXPECT_EQ(f.StringGrid1->geometry(), f.RichEdit1->geometry());
        EXPECT_EQ(f.RichEdit3->width(), 441 - 50);
        EXPECT_EQ(f.RichEdit3->x(), 8 + 25);
        EXPECT_EQ(f.Label15->y(), height - 55);
    }
    f.resize(475, 100);
    EXPECT_EQ(f.height(), 300);
}

TEST_F(WindowTest, ClearGridRowsEmptiesAllButTheHeaderAndKeepsTheRowCount)
{
    TForm1 &f = create();
    f.StringGrid1->setItem(0, 0, new QTableWidgetItem("Timing"_qs));
    f.StringGrid1->setItem(3, 2, new QTableWidgetItem("x"_qs));
    TForm1::ClearGridRows(f.StringGrid1, false);
    EXPECT_NE(f.StringGrid1->item(3, 2), nullptr);
    TForm1::ClearGridRows(f.StringGrid1, true);
    EXPECT_EQ(f.StringGrid1->item(3, 2), nullptr);
    EXPECT_EQ(f.StringGrid1->item(0, 0)->text(), "Timing"_qs);
    EXPECT_EQ(f.StringGrid1->rowCount(), 50);
}

namespace {

// The event loop as the program runs it; a loop still running after the
// time allowed ends with 1.
int runProgramLoop()
{
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    limit.start(10000);
    return QCoreApplication::exec();
}

} // namespace

TEST_F(WindowTest, CloseEndsTheProgramWhateverBoxesAndWindowsAreOpen)
{
    Dialogs::setHandler({}); // boxes as the program shows them
    TForm1 &f = create();
    f.show();
    f.openAlertSettings();
    const Dialogs::Box box = Dialogs::showMessage("Web error: WWW.ORLIX.NET site not accessible"_qs);
    ASSERT_EQ(qobject_cast<QWidget *>(box.data())->parentWidget(), &f); // the main window's, never its own
    QTimer::singleShot(0, &f, [&] { f.Button1Click(); });
    EXPECT_EQ(runProgramLoop(), 0);
    for (const QWidget *w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->metaObject()->className();
    // Closing has begun: nothing opens another box.
    EXPECT_FALSE(Dialogs::showMessage("Web error: The request was abandoned"_qs));
    EXPECT_EQ(Dialogs::openCount(), 0);
}

TEST_F(WindowTest, AFaultWhileClosingIsShownWithoutHoldingTheEndAndASignalStillEndsIt)
{
    TForm1 &f = create();
    QFile::remove(storeFile());
    ASSERT_TRUE(QDir().mkdir(storeFile())); // the settings cannot be saved
    Dialogs::setHandler([this](const Dialogs::Shown &d) { dialogs.push_back(d); }, true);
    QTimer::singleShot(0, &f, [&] {
        f.Button1Click();
        EXPECT_EQ(Dialogs::openCount(), 1); // the program ends when the operator closes it...
        f.closeFromOutside();                // ...or at once on a signal
    });
    EXPECT_EQ(runProgramLoop(), 0);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs.front().kind, Dialogs::Kind::Error);
    EXPECT_TRUE(readBytes("Taviklog.txt"_qs).contains("Error: ")) << "logged, logging off or not";
}
