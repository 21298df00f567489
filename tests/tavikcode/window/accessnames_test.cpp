#include "../../formfixture.h"

#include "alerts/alertsettings.h"
#include "alerts/alertsettingsdialog.h"
#include "alerts/alertswindow.h"
#include "parts/widgets.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>

namespace {

QString accessibleName(QWidget *w)
{
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : QString();
}

// The controls that Tab can reach in a window.
QList<QWidget *> tabStops(QWidget *window)
{
    QList<QWidget *> stops;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->isVisible() && w->isEnabled() && !w->focusProxy() && (w->focusPolicy() & Qt::TabFocus))
            stops << w;
    }
    return stops;
}

// Presses the key on the focused control until the focus is back where it
// began: the controls met on the way, or nothing when it never came back.
std::optional<QList<QWidget *>> walk(QWidget *window, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    const QList<QWidget *> stops = tabStops(window);
    if (stops.isEmpty())
        return std::nullopt;
    QWidget *start = stops.first();
    start->setFocus(Qt::TabFocusReason);
    QList<QWidget *> met{start};
    for (int presses = 0; presses < stops.size() + 3; ++presses) {
        QWidget *focused = QApplication::focusWidget();
        if (!focused)
            return std::nullopt;
        QTest::keyClick(focused, key, modifiers);
        if (QApplication::focusWidget() == start)
            return met;
        met << QApplication::focusWidget();
    }
    return std::nullopt;
}

// The controls that Tab meets in the window, each named.
QSet<QWidget *> expectWayOutAndNames(QWidget *window)
{
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    using Press = std::pair<Qt::Key, Qt::KeyboardModifiers>;
    for (const auto &[key, modifiers] : {Press{Qt::Key_Tab, Qt::NoModifier}, Press{Qt::Key_Backtab, Qt::ShiftModifier}}) {
        const auto met = walk(window, key, modifiers);
        if (!met) {
            ADD_FAILURE() << "Tab is trapped in " << window->objectName().toStdString();
            return {};
        }
        for (QWidget *w : *met) {
            const QString name = accessibleName(w);
            EXPECT_FALSE(name.isEmpty()) << w->objectName().toStdString();
            if (auto *combo = qobject_cast<QComboBox *>(w)) {
                EXPECT_NE(name, combo->currentText()) << w->objectName().toStdString();
            }
        }
    }
    // Every control is on the way, tables included (a time box takes one
    // press for each of its fields).
    const auto met = walk(window, Qt::Key_Tab, Qt::NoModifier);
    const QSet<QWidget *> distinct(met->begin(), met->end());
    EXPECT_EQ(distinct.size(), tabStops(window).size());
    return distinct;
}

} // namespace

using AccessNamesTest = FormTest;

TEST_F(AccessNamesTest, TabLeavesEveryControlOfTheMainWindowAndEachHasAName)
{
    struct Case {
        const char *what;
        bool alternate;
    };
    for (const Case c : {Case{"list view", false}, Case{"table view", true}}) {
        SCOPED_TRACE(c.what);
        TForm1 &f = create();
        f.CheckBox1->setChecked(c.alternate);
        f.StringGrid1->setVisible(c.alternate);
        const QSet<QWidget *> met = expectWayOutAndNames(&f);
        EXPECT_EQ(met.contains(f.StringGrid1), c.alternate);
        // The list view under the table is out of sight and out of the way.
        EXPECT_EQ(met.contains(f.RichEdit1), !c.alternate);
        if (c.alternate) {
            EXPECT_EQ(f.StringGrid1->model()->headerData(1, Qt::Horizontal).toString(), "Call"_qs);
        }
    }
}

TEST_F(AccessNamesTest, TabLeavesTheAlertListAndTheSettingsAreNamedForWhatTheySet)
{
    AlertsWindow alerts;
    expectWayOutAndNames(&alerts);
    // Enter on an alert does what a double click does.
    Alert alert;
    alert.band = "20m"_qs;
    alerts.showAlerts({alert});
    QString band;
    QObject::connect(&alerts, &AlertsWindow::reachRequested, [&](const QString &b, qint64) { band = b; });
    alerts.alertTable->setFocus();
    alerts.alertTable->setCurrentCell(0, 0);
    QTest::keyClick(alerts.alertTable, Qt::Key_Return);
    EXPECT_EQ(band, "20m"_qs);
    // A window, not a filler, by its title.
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(&alerts);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), alerts.windowTitle());

    AlertSettingsDialog dialog{AlertSettings{}};
    expectWayOutAndNames(&dialog);
    QStringList names;
    for (QWidget *w : tabStops(&dialog))
        names << accessibleName(w);
    EXPECT_TRUE(names.contains("Receivers for an opening"_qs));
    EXPECT_TRUE(names.contains("Quiet hours start"_qs));
    for (const QString &name : {"Transmissions unheard"_qs, "Within minutes"_qs, "WSJT-X address"_qs, "WSJT-X port"_qs})
        EXPECT_TRUE(names.contains(name)) << name.toStdString();
    EXPECT_EQ(names.size(), QSet<QString>(names.begin(), names.end()).size()) << names.join(u'|').toStdString();
}

TEST_F(AccessNamesTest, EscapeClosesTheFindPopupThatTookTheFocus)
{
    TForm1 &f = create();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.RichEdit1->setPlainText("07Dec2026, G4ABC, -12\n07Dec2026, K1ABC, -3"_qs);
    f.Edit3->setFocus();
    f.Edit3->setText("K1"_qs);
    QTest::keyClick(f.Edit3, Qt::Key_Return);
    ASSERT_TRUE(f.RichEdit3->isVisible());
    EXPECT_TRUE(f.RichEdit3->hasFocus());
    EXPECT_EQ(accessibleName(f.RichEdit3), "Find results"_qs);
    QTest::keyClick(f.RichEdit3, Qt::Key_Escape);
    EXPECT_FALSE(f.RichEdit3->isVisible());
    EXPECT_TRUE(f.Edit3->hasFocus());
    EXPECT_EQ(f.Edit3->text(), "FIND.."_qs);
}

TEST_F(AccessNamesTest, TheConnectionLightAndTheClockLabelsSayWhatTheyShow)
{
    TForm1 &f = create();
    for (const auto &[address, name] : {std::pair{"192.0.2.7", "Online"}, std::pair{"", "Offline"},
                                        std::pair{"127.0.0.1", "Offline"}}) {
        f.state.PublicIP = QString::fromLatin1(address);
        f.showConnectivity();
        EXPECT_EQ(accessibleName(f.Shape1), QString::fromLatin1(name)) << address;
    }
    f.Label3->setText("14:30:02"_qs);
    f.nameClockLabels();
    EXPECT_EQ(accessibleName(f.Label3), "Last query 14:30:02"_qs);
    f.ProgressBar1->setPosition(40);
    QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(f.ProgressBar1);
    ASSERT_TRUE(bar && bar->valueInterface());
    EXPECT_EQ(bar->valueInterface()->currentValue().toInt(), 40);
    EXPECT_EQ(bar->text(QAccessible::Name), "Update cycle"_qs);
}

TEST_F(AccessNamesTest, ThePassStatusNamesTheNewCountAndTheLatestReport)
{
    const auto line = [](const char *call, const char *seconds, const char *snr, const char *hertz) {
        return QStringLiteral("<receptionReport receiverCallsign=\"%1\" senderCallsign=\"G4XYZ\" flowStartSeconds=\"%2\" "
                              "frequency=\"%3\" sNR=\"%4\" />")
            .arg(QString::fromLatin1(call), QString::fromLatin1(seconds), QString::fromLatin1(hertz),
                 QString::fromLatin1(snr));
    };
    struct Case {
        QStringList lines;
        QString status;
    };
    const Case cases[] = {
        {{}, "No new reports"_qs},
        {{line("CT4GOE", "1796644900", "10", "7074000"), line("DL1AA", "1796644800", "-5", "14074000")},
         "2 new reports, latest CT4GOE +10 dB on 40 m"_qs},
        {{line("K1ABC", "1796644800", "-3", "144174000")}, "1 new report, latest K1ABC -3 dB on 2 m"_qs},
    };
    TForm1 &f = create();
    for (const Case &c : cases) {
        QList<AnswerReport> reports;
        for (const QString &l : c.lines)
            reports << answerReportOf(l);
        f.announcePass(reports);
        EXPECT_EQ(accessibleName(f.passStatus), c.status);
    }
    EXPECT_EQ(f.passStatus->size(), QSize(0, 0));
}
