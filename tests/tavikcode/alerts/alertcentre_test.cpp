#include "alerts/alertcentre.h"
#include "alerts/alertsettingsdialog.h"
#include "alerts/alertswindow.h"
#include "archive/archivestore.h"
#include "archive/reportarchive.h"
#include "archive/sqlitedb.h"
#include "base/filenames.h"
#include "reach/reachwindow.h"

#include "../../formfixture.h"
#include "../reach/fakearchive.h"
#include "../reach/reachfixture.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTextDocument>

// The main window's alerts: menus, the Alerts window, the settings dialog.
class AlertCentreTest : public FormTest
{
protected:
    TForm1 &createWithArchive(const QStringList &arguments = {})
    {
        form.reset();
        archive = std::make_shared<FakeArchiveData>();
        archive->snapshot = reachfixture::snapshot();
        archive->alertArchive = path(files::kArchive);
        TForm1Environment env;
        env.store = openIniSettingsStore(storeFile());
        env.arguments = arguments;
        env.localAddress = [this] { return localAddress; };
        env.programFile = "/usr/bin/TavikRepView"_qs;
        env.endpoints = nowhere();
        env.archiveReader = fakeArchiveOpener(archive);
        form = std::make_unique<TForm1>(std::move(env));
        return *form;
    }

    // One answer of the service, through the response pass.
    void pass(TForm1 &f, const QStringList &reports)
    {
        QStringList lines{"<receptionReports>"_qs};
        for (const QString &r : reports)
            lines << r;
        f.state.ResponseLines.setLines(lines << "</receptionReports>"_qs);
        f.ProcessResponse();
        settle(f);
    }

    // The archive's thread done, and what it told taken in.
    static void settle(TForm1 &f)
    {
        f.archive().waitForIdle();
        QCoreApplication::sendPostedEvents();
    }

    static QString reportLine(const char *receiver, const char *locator, const char *dxcc, qint64 secondsAgo)
    {
        return "<receptionReport receiverCallsign=\"%1\" receiverLocator=\"%2\" senderCallsign=\"G4XYZ\" "
               "flowStartSeconds=\"%3\" frequency=\"14074000\" mode=\"FT8\" sNR=\"-5\" receiverDXCC=\"%4\" />"_qs
            .arg(QString::fromLatin1(receiver), QString::fromLatin1(locator))
            .arg(Clock::nowUtc().toSecsSinceEpoch() - secondsAgo)
            .arg(QString::fromLatin1(dxcc));
    }

    std::shared_ptr<FakeArchiveData> archive;
};

TEST_F(AlertCentreTest, TheTrayAndTheListMenusOpenTheWindowsWithoutHoldingTheCycle)
{
    TForm1 &f = createWithArchive();
    f.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.Timer1->isActive(); }, 10000));
    QMenu tray;
    f.alerts().addEntries(&tray);
    QStringList entries;
    for (QAction *a : tray.actions())
        entries << a->text();
    const QStringList expected{"Show window"_qs, "Reach..."_qs, "Compare..."_qs, "Alerts..."_qs,
                               "Settings..."_qs,   QString(),         "Quit"_qs};
    EXPECT_EQ(entries, expected);

    // The list view's menu ends with the same entries, for desktops without a tray.
    std::unique_ptr<QMenu> list(f.createListMenu(QPoint(5, 5)));
    entries.clear();
    for (QAction *a : list->actions())
        entries << a->text();
    EXPECT_EQ(entries.mid(entries.size() - expected.size()), expected);
    list->findChild<QAction *>("AlertsAction"_qs)->trigger();
    list->findChild<QAction *>("SettingsAction"_qs)->trigger();
    ASSERT_NE(f.alertsWindow(), nullptr);
    ASSERT_NE(f.alertSettingsDialog(), nullptr);
    EXPECT_TRUE(f.alertsWindow()->isVisible());
    EXPECT_TRUE(f.alertSettingsDialog()->isVisible());
    EXPECT_FALSE(f.alertSettingsDialog()->isModal());
    // Both stay open while the tick goes on.
    const QDateTime before = Clock::nowLocal();
    Clock::advance(1);
    f.runTick();
    EXPECT_EQ(f.Label9->text().isEmpty(), false);
    EXPECT_NE(Clock::nowLocal(), before);

    tray.findChild<QAction *>("QuitAction"_qs)->trigger();
    EXPECT_FALSE(f.isVisible());
    // Closing leaves no window of the program behind.
    EXPECT_FALSE(f.alertsWindow() && f.alertsWindow()->isVisible());
    EXPECT_FALSE(f.alertSettingsDialog() && f.alertSettingsDialog()->isVisible());
}

TEST_F(AlertCentreTest, TheTooltipIsPlainLinesThatNoCallsignTurnsIntoMarkup)
{
    for (const QString &callsign : {"G4XYZ"_qs, "<b>G4XYZ</b>"_qs, "&lt;G4"_qs}) {
        TForm1 &f = createWithArchive();
        f.state.Callsign = callsign;
        const QString tip = f.alerts().statusText();
        EXPECT_TRUE(tip.startsWith("TavikRepView\n"_qs + callsign + " - Offline"_qs)) << tip.toStdString();
        EXPECT_FALSE(Qt::mightBeRichText(tip)) << tip.toStdString();
    }
}

TEST_F(AlertCentreTest, SettingsAreKeptTheAutostartEntryFollowsAndResetForgetsThemAlone)
{
    TForm1 &f = createWithArchive();
    f.openAlertSettings();
    AlertSettingsDialog *d = f.alertSettingsDialog();
    EXPECT_FALSE(d->autostartBox->isChecked());
    d->openingKmSpin->setValue(5000);
    d->watchEdit->setText("vk*, zl1abc"_qs);
    d->autostartBox->setChecked(true);
    d->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(f.alerts().settings().openingKm, 5000);
    EXPECT_EQ(f.alerts().settings().watchList, (QStringList{"VK*"_qs, "ZL1ABC"_qs}));
    const QString entry = path("config/autostart/TavikRepView.desktop"_qs);
    EXPECT_TRUE(readBytes(entry).contains("\nExec=/usr/bin/TavikRepView /DATAFOLDER\n"));

    auto stored = openIniSettingsStore(storeFile());
    EXPECT_EQ(stored->value("Orlix"_qs, "TavikAlertOpeningKm"_qs), "5000"_qs);
    EXPECT_EQ(stored->value("Orlix"_qs, "TavikAlertWatchList"_qs), "VK* ZL1ABC"_qs);
    EXPECT_EQ(stored->value("Orlix"_qs, "TavikAutostart"_qs), "1"_qs);
    EXPECT_EQ(stored->value("Orlix"_qs, "TavikTrayIcon"_qs), "1"_qs);

    // A restart keeps them; "/RESET" forgets them and removes nothing else.
    TForm1 &g = createWithArchive();
    EXPECT_EQ(g.alerts().settings().openingKm, 5000);
    EXPECT_TRUE(g.alerts().settings().autostart);
    stored->WriteString("Orlix"_qs, "TavikViewReportUrl"_qs, "https://reports.example.net"_qs);
    form.reset();
    createWithArchive({"/RESET"_qs});
    for (const QString &name : alertsettings::allNames())
        EXPECT_FALSE(stored->value("Orlix"_qs, name).has_value()) << name.toStdString();
    EXPECT_TRUE(QFileInfo::exists(entry));
    EXPECT_EQ(form->alerts().settings().openingKm, 3000);

    // Switched off, the entry goes.
    form->openAlertSettings();
    EXPECT_TRUE(form->alertSettingsDialog()->autostartBox->isChecked()) << "the entry is still there";
    form->alertSettingsDialog()->autostartBox->setChecked(false);
    form->alertSettingsDialog()->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_FALSE(QFileInfo::exists(entry));
}

TEST_F(AlertCentreTest, PassesFillTheAlertListAndADoubleClickOpensReachOnTheBandAndPeriod)
{
    writeBytes("WSJT-X.INI"_qs, "MyCall=G4XYZ\r\nMyGrid=IO91wm\r\n");
    TForm1 &f = createWithArchive();
    f.ReadCallsign();
    f.openArchive();
    pass(f, {reportLine("DL1ABC", "JO62qm", "Fed. Rep. of Germany", 7200)});
    pass(f, {reportLine("<b>X</b>", "PM95", "Japan", 600)});
    f.openAlertsWindow();
    EXPECT_TRUE(f.alertsWindow()->isReading());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.alertsWindow()->isReading(); }, 10000));
    QTableWidget *table = f.alertsWindow()->alertTable;
    // Newest first; of one time, the one told last first.
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->item(0, 1)->text(), "Distance record"_qs);
    EXPECT_EQ(table->item(1, 1)->text(), "New DXCC entity"_qs);
    EXPECT_EQ(table->item(1, 2)->text(), "20m"_qs);
    EXPECT_EQ(table->item(1, 3)->text(), "Japan"_qs);
    EXPECT_EQ(table->item(1, 4)->text(), "New DXCC entity: Japan, <b>X</b> on 20m, 9,575 km (32°)"_qs);
    EXPECT_EQ(table->item(2, 1)->text(), "First look"_qs);

    // After "Clr Files" the service sends it all again: nothing new to tell.
    f.ClearHistoryFiles();
    pass(f, {reportLine("DL1ABC", "JO62qm", "Fed. Rep. of Germany", 7200),
             reportLine("<b>X</b>", "PM95", "Japan", 600)});
    EXPECT_EQ(table->rowCount(), 3);

    emit table->cellDoubleClicked(1, 0);
    ReachWindow *reach = f.reachWindow();
    ASSERT_NE(reach, nullptr);
    EXPECT_EQ(reach->band(), "20m"_qs);
    EXPECT_EQ(reach->period(), ReachPeriod::LastHour);
    emit table->cellDoubleClicked(2, 0); // the first look: every band, the two hours before
    EXPECT_EQ(reach->band(), QString());
    EXPECT_EQ(reach->period(), ReachPeriod::Last6Hours);

    f.alertsWindow()->clearButton->click();
    EXPECT_EQ(table->rowCount(), 0);
    settle(f);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.alertsWindow()->isReading(); }, 10000));
    SqliteDb db(path(files::kArchive), SqliteDb::ReadOnly);
    EXPECT_EQ(db.integer("SELECT count(*) FROM alert"), 0);
}

// Reports that wait in the journal alone are told in the tray's tooltip, and
// in the log at most once an hour.
TEST_F(AlertCentreTest, ReportsWaitingInTheJournalAreToldInTheTooltipAndHourlyInTheLog)
{
    ArchiveStore::setBusyTimeout(50);
    const auto patient = qScopeGuard([] { ArchiveStore::setBusyTimeout(2000); });
    writeBytes("WSJT-X.INI"_qs, "MyCall=G4XYZ\r\nMyGrid=IO91wm\r\n");
    TForm1 &f = createWithArchive();
    f.ReadCallsign();
    f.openArchive();
    settle(f);
    const auto logged = [this] { return readBytes(path(files::kLog)).count("reports wait in the journal"); };
    {
        SqliteDb other(path(files::kArchive), SqliteDb::ReadWrite);
        other.exec("BEGIN IMMEDIATE");
        pass(f, {reportLine("DL1ABC", "JO62qm", "Fed. Rep. of Germany", 900)});
        pass(f, {reportLine("DL2ABC", "JO62qm", "Fed. Rep. of Germany", 600)});
        EXPECT_TRUE(f.alerts().statusText().contains("\n2 reports wait for the archive"_qs))
            << f.alerts().statusText().toStdString();
        EXPECT_EQ(logged(), 1);
        Clock::advance(3600);
        pass(f, {reportLine("DL3ABC", "JO62qm", "Fed. Rep. of Germany", 300)});
        EXPECT_EQ(logged(), 2);
        other.exec("ROLLBACK");
    }
    f.archive().retry();
    settle(f);
    EXPECT_FALSE(f.alerts().statusText().contains("wait for the archive"_qs));
}

TEST(AlertSettingsDialogTest, ProposesWsjtxTargetWhileNotListeningAndTakesOnlyAnAddress)
{
    AlertSettings listening;
    listening.wsjtxListen = true;
    for (const AlertSettings &s : {AlertSettings{}, listening}) {
        AlertSettingsDialog dialog{s};
        dialog.proposeWsjtxTarget("239.255.0.1"_qs, 2238);
        const AlertSettings chosen = dialog.choice();
        EXPECT_EQ(chosen.wsjtxAddress, s.wsjtxListen ? "127.0.0.1"_qs : "239.255.0.1"_qs);
        EXPECT_EQ(chosen.wsjtxPort, s.wsjtxListen ? 2237 : 2238);
        EXPECT_EQ(chosen.unheardCount, 10);
    }
    AlertSettingsDialog dialog{AlertSettings{}};
    QPushButton *ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
    dialog.wsjtxAddressEdit->setText("wsjtx.local"_qs);
    EXPECT_FALSE(ok->isEnabled());
    dialog.wsjtxAddressEdit->setText(" ff02::1 "_qs);
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(dialog.choice().wsjtxAddress, "ff02::1"_qs);
}
