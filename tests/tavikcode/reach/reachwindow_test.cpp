#include "reach/bandhourview.h"
#include "geo/locator.h"
#include "reach/reachmap.h"

#include "reachmapprobe.h"
#include "reachwindowfixture.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolTip>

using namespace reachfixture;

namespace {
enum { BandColumn = 0, ReportsColumn = 1, FarthestColumn = 6, DistanceColumn = 8, BearingColumn = 9, NoLocatorColumn = 10 };
}

TEST_F(ReachWindowTest, WithoutALocatorItSaysHowToGiveOneAndShowsTheWorldMap)
{
    ReachWindow &w = open();
    EXPECT_FALSE(w.home());
    EXPECT_FALSE(w.locatorNote->isHidden());
    EXPECT_TRUE(w.locatorNote->text().contains("No locator yet"_qs)) << w.locatorNote->text().toStdString();
    EXPECT_FALSE(w.locatorEdit->isReadOnly());

    EXPECT_EQ(rowTexts(w.bandTable, BandColumn), (QStringList{"40m"_qs, "20m"_qs, "10m"_qs, "All bands"_qs}));
    EXPECT_EQ(rowTexts(w.bandTable, ReportsColumn), (QStringList{"12"_qs, "30"_qs, "2"_qs, "44"_qs}));
    EXPECT_EQ(rowTexts(w.bandTable, FarthestColumn), QStringList(4, QString()));
    EXPECT_EQ(rowTexts(w.bandTable, NoLocatorColumn), (QStringList{"1"_qs, "1"_qs, "0"_qs, "2"_qs}));
    EXPECT_TRUE(w.statusLabel->text().contains("44 reports from 7 receivers on 3 bands"_qs))
        << w.statusLabel->text().toStdString();
    EXPECT_TRUE(w.statusLabel->text().contains("2 receivers gave no locator"_qs));

    // A plain world map: longitude and latitude around the middle.
    w.resize(800, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.map->grab();
    EXPECT_EQ(ReachMapProbe::dotCount(*w.map), 7);
    const QPointF middle = ReachMapProbe::pixelOf(*w.map, QPointF(0, 0));
    EXPECT_NEAR(middle.x(), w.map->width() / 2.0, 1e-9);
    EXPECT_LT(ReachMapProbe::pixelOf(*w.map, QPointF(-180, 0)).x(), ReachMapProbe::pixelOf(*w.map, QPointF(180, 0)).x());
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(ReachWindowTest, WithAnEmptyArchiveOnlyTheTotalRowShowsAndNothingFails)
{
    archive->snapshot = ReachSnapshot{};
    ReachWindow &w = open();
    EXPECT_EQ(rowTexts(w.bandTable, BandColumn), QStringList{"All bands"_qs});
    EXPECT_EQ(rowTexts(w.bandTable, ReportsColumn), QStringList{"0"_qs});
    EXPECT_TRUE(w.statusLabel->text().contains("no reports in this period"_qs)) << w.statusLabel->text().toStdString();
    w.map->grab();
    w.chart->grab();
    EXPECT_EQ(ReachMapProbe::dotCount(*w.map), 0);
    EXPECT_TRUE(w.chart->chart().bands.isEmpty());
    EXPECT_TRUE(w.chart->textAt(QPointF(100, 100)).isEmpty());
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(ReachWindowTest, TheLocatorOfWsjtxWinsOverATypedOne)
{
    writeBytes(files::kWsjtxIni, "[Configuration]\r\nMyCall=G4XYZ\r\nMyGrid=io91wm\r\n");
    store->WriteString("Orlix"_qs, "TavikReachGrid"_qs, "JO62"_qs);
    ReachWindow &w = open();
    ASSERT_TRUE(w.home());
    EXPECT_TRUE(w.homeFromWsjtx());
    EXPECT_NEAR(w.home()->latitude, locatorPosition(kHome)->latitude, 1e-12);
    EXPECT_EQ(w.locatorEdit->text(), "IO91wm"_qs);
    EXPECT_TRUE(w.locatorEdit->isReadOnly());
    EXPECT_TRUE(w.locatorNote->text().contains("WSJT-X"_qs));
    // Farthest of all: Sydney, 16987.098 km at 60.3 degrees (GeodSolve, see reachdata_test.cpp).
    EXPECT_EQ(w.bandTable->item(3, FarthestColumn)->text(), "VK2DEF"_qs);
    EXPECT_EQ(w.bandTable->item(3, DistanceColumn)->text(), "16987 km"_qs);
    EXPECT_EQ(w.bandTable->item(3, BearingColumn)->text(), "60\u00B0"_qs);
}

TEST_F(ReachWindowTest, ATypedLocatorIsCheckedKeptAndUsed)
{
    ReachWindow &w = open();
    const qsizetype asked = archive->periods.size();

    w.locatorEdit->setText("XX99"_qs);
    emit w.locatorEdit->editingFinished();
    EXPECT_FALSE(w.home());
    EXPECT_TRUE(w.locatorNote->text().contains("\"XX99\" is no locator"_qs)) << w.locatorNote->text().toStdString();
    EXPECT_EQ(archive->periods.size(), asked);

    w.locatorEdit->setText("io91wm"_qs);
    emit w.locatorEdit->editingFinished();
    settle();
    ASSERT_TRUE(w.home());
    EXPECT_EQ(w.locatorEdit->text(), "IO91wm"_qs);
    EXPECT_TRUE(w.locatorNote->isHidden());
    EXPECT_EQ(store->ReadString("Orlix"_qs, "TavikReachGrid"_qs, {}), "IO91wm"_qs);
    EXPECT_EQ(w.bandTable->item(0, DistanceColumn)->text(), "932 km"_qs); // Berlin on 40m

    // Kept for the next opening; emptied, it is forgotten.
    ReachWindow &again = open();
    ASSERT_TRUE(again.home());
    again.locatorEdit->clear();
    emit again.locatorEdit->editingFinished();
    settle();
    EXPECT_FALSE(again.home());
    EXPECT_EQ(store->ReadString("Orlix"_qs, "TavikReachGrid"_qs, "x"_qs), QString());
    EXPECT_TRUE(again.bandTable->item(3, DistanceColumn) == nullptr);
}

TEST_F(ReachWindowTest, ABandClickedShowsThatBandAloneUntilAllBandsIsChosen)
{
    store->WriteString("Orlix"_qs, "TavikReachGrid"_qs, "IO91wm"_qs);
    ReachWindow &w = open();
    w.resize(800, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    const QRect twenty = w.bandTable->visualItemRect(w.bandTable->item(1, BandColumn));
    QTest::mouseClick(w.bandTable->viewport(), Qt::LeftButton, {}, twenty.center());
    EXPECT_EQ(w.band(), "20m"_qs);
    w.map->grab();
    EXPECT_EQ(ReachMapProbe::dotCount(*w.map), 4); // the 20m receivers with a locator
    EXPECT_EQ(w.chart->chart().bands, QStringList{"20m"_qs});
    EXPECT_TRUE(w.allBandsButton->isEnabled());
    EXPECT_EQ(w.bandTable->selectionModel()->selectedRows().value(0).row(), 1);
    EXPECT_EQ(store->ReadString("Orlix"_qs, "TavikReachBand"_qs, {}), "20m"_qs);

    QTest::mouseClick(w.allBandsButton, Qt::LeftButton);
    EXPECT_TRUE(w.band().isEmpty());
    w.map->grab();
    EXPECT_EQ(ReachMapProbe::dotCount(*w.map), 7);
    EXPECT_EQ(w.chart->chart().bands.size(), 3);
    EXPECT_FALSE(w.allBandsButton->isEnabled());

    // The total row is a way back too.
    w.selectBand("40m"_qs);
    const QRect total = w.bandTable->visualItemRect(w.bandTable->item(3, BandColumn));
    QTest::mouseClick(w.bandTable->viewport(), Qt::LeftButton, {}, total.center());
    EXPECT_TRUE(w.band().isEmpty());
}

TEST_F(ReachWindowTest, PeriodUnitsBandAndPlacementAreKept)
{
    store->WriteString("Orlix"_qs, "TavikReachGrid"_qs, "IO91wm"_qs);
    ReachWindow &w = open();
    EXPECT_EQ(w.period(), ReachPeriod::Last24Hours);
    EXPECT_EQ(archive->periods.last().toSeconds - archive->periods.last().fromSeconds, 86400);

    w.periodBox->setCurrentIndex(3);
    emit w.periodBox->activated(3);
    settle();
    EXPECT_EQ(w.period(), ReachPeriod::Last7Days);
    const ArchivePeriod asked = archive->periods.last();
    EXPECT_EQ(asked.toSeconds, Clock::nowUtc().toSecsSinceEpoch() + 1);
    EXPECT_EQ(asked.toSeconds - asked.fromSeconds, 7 * 86400);

    w.unitBox->setCurrentIndex(1);
    emit w.unitBox->activated(1);
    EXPECT_EQ(w.bandTable->item(3, DistanceColumn)->text(), "10555 mi"_qs);
    w.selectBand("10m"_qs);
    w.move(150, 130);
    w.resize(700, 520);
    w.close();

    ReachWindow &again = open();
    EXPECT_EQ(again.period(), ReachPeriod::Last7Days);
    EXPECT_EQ(again.periodBox->currentText(), "Last 7 days"_qs);
    EXPECT_EQ(again.unit(), DistanceUnit::Miles);
    EXPECT_EQ(again.unitBox->currentText(), "miles"_qs);
    EXPECT_EQ(again.band(), "10m"_qs);
    EXPECT_EQ(again.pos(), QPoint(150, 130));
    EXPECT_EQ(again.size(), QSize(700, 520));
    const QByteArray ini = readBytes(path("Orlix.ini"_qs));
    for (const char *value : {"TavikReachPeriod=7d", "TavikReachUnits=mi", "TavikReachBand=10m",
                              "TavikReachGrid=IO91wm", "TavikReachLeft=150", "TavikReachHeight=520"})
        EXPECT_TRUE(ini.contains(value)) << value << "\n" << ini.constData();
}

TEST_F(ReachWindowTest, ItOpensWithinTheScreenAndForgetsAPlaceThatIsOnNoScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ReachWindow &w = open();
    EXPECT_TRUE(screen.contains(w.geometry())) << w.width() << 'x' << w.height();

    store->WriteString("Orlix"_qs, "TavikReachLeft"_qs, QString::number(screen.right() + 500));
    store->WriteString("Orlix"_qs, "TavikReachTop"_qs, "100"_qs);
    store->WriteString("Orlix"_qs, "TavikReachWidth"_qs, "640"_qs);
    store->WriteString("Orlix"_qs, "TavikReachHeight"_qs, "480"_qs);
    ReachWindow &again = open();
    EXPECT_TRUE(screen.contains(again.geometry())) << again.x() << ',' << again.y();
}

TEST_F(ReachWindowTest, TheNewestQuestionWinsAndAnInterruptedOneIsNoError)
{
    archive->gated = true;
    ReachWindowEnvironment env;
    env.store = store.get();
    readers = std::make_unique<ArchiveReaders>(fakeArchiveOpener(archive));
    env.archive = readers.get();
    window = std::make_unique<ReachWindow>(std::move(env));
    archive->waitForWaiting(1);

    window->periodBox->setCurrentIndex(4);
    emit window->periodBox->activated(4); // cancels the first question
    archive->waitForWaiting(1);
    archive->release();
    settle();

    EXPECT_EQ(archive->cancelled, 1);
    ASSERT_EQ(archive->periods.size(), 2);
    EXPECT_EQ(archive->periods.last().toSeconds - archive->periods.last().fromSeconds, 30 * 86400);
    ASSERT_TRUE(window->data());
    EXPECT_EQ(window->data()->total.counts.reports, 44);
    EXPECT_FALSE(window->statusLabel->text().contains("interrupted"_qs));
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(ReachWindowTest, AnArchiveThatCannotBeReadIsToldInTheWindowNotInADialog)
{
    archive->failure = "The report archive is not available"_qs;
    ReachWindow &w = open();
    EXPECT_EQ(w.statusLabel->text(), "The report archive is not available"_qs);
    EXPECT_TRUE(dialogs.empty());
    EXPECT_FALSE(w.data());

    {
        std::lock_guard lock(archive->mutex);
        archive->failure.clear();
    }
    w.refresh();
    settle();
    ASSERT_TRUE(w.data());
    EXPECT_TRUE(w.statusLabel->text().contains("44 reports"_qs));
}

TEST_F(ReachWindowTest, ExportWritesThePeriodsReportsToTheChosenFile)
{
    store->WriteString("Orlix"_qs, "TavikReachGrid"_qs, "IO91wm"_qs);
    ArchivedReport r;
    r.flowStartSeconds = kEvening;
    r.sender = "G4XYZ"_qs;
    r.receiver = "9Y4ABC"_qs;
    r.locator = "FK90"_qs;
    r.band = "20m"_qs;
    r.mode = "FT8"_qs;
    r.snrText = "-7"_qs;
    r.snr = -7;
    r.dxcc = "Trinidad & Tobago, \"T&amp;T\""_qs;
    ArchivedReport old = r;
    old.flowStartSeconds = kEvening - 2 * 86400; // outside the last 24 hours
    archive->reports = {old, r};
    ReachWindow &w = open();

    saveAnswer = path("reach.csv"_qs);
    w.exportReports();
    settle();
    ASSERT_EQ(saveRequests.size(), 1u);
    EXPECT_TRUE(saveRequests[0].suggestedName.endsWith("TavikReach-24h-20261207-1100.csv"_qs))
        << saveRequests[0].suggestedName.toStdString();
    const QList<QByteArray> lines = readBytes(saveAnswer).split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("flow_start_seconds,"));
    EXPECT_TRUE(lines[1].contains(",\"Trinidad & Tobago, \"\"T&amp;T\"\"\",")) << lines[1].constData();
    EXPECT_FALSE(lines[1].endsWith(",,\r")) << "a distance and a bearing from IO91wm";
    EXPECT_TRUE(w.statusLabel->text().contains("Exported 1 report to"_qs)) << w.statusLabel->text().toStdString();
    EXPECT_TRUE(w.exportButton->isEnabled());

    // Cancelled: nothing written. Into a folder that is not there: told in an error box.
    saveAnswer.clear();
    w.exportReports();
    EXPECT_FALSE(w.isBusy());
    saveAnswer = path("missing/reach.csv"_qs);
    w.exportReports();
    settle();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs[0].text.startsWith("Cannot write "_qs)) << dialogs[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(saveAnswer));
}

TEST_F(ReachWindowTest, AllHoldsAndExportsReportsStampedAheadOfASlowClock)
{
    ArchivedReport ahead;
    ahead.flowStartSeconds = Clock::nowUtc().toSecsSinceEpoch() + 3600;
    ahead.sender = "G4XYZ"_qs;
    ahead.receiver = "K1AHEAD"_qs;
    ahead.band = "20m"_qs;
    archive->reports = {ahead};
    ReachWindow &w = open();
    w.periodBox->setCurrentIndex(5);
    emit w.periodBox->activated(5);
    settle();
    ASSERT_EQ(w.period(), ReachPeriod::All);
    const ArchivePeriod asked = archive->periods.last();
    EXPECT_GT(asked.toSeconds, ahead.flowStartSeconds);

    saveAnswer = path("all.csv"_qs);
    w.exportReports();
    settle();
    const QList<QByteArray> lines = readBytes(saveAnswer).split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].contains(",K1AHEAD,")) << lines[1].constData();
}

TEST_F(ReachWindowTest, ReportsWithoutABandMakeNoUnnamedChartRowNorDot)
{
    // Its frequency was no number: the archive keeps it with an empty band.
    archive->snapshot.setReceivers(archive->snapshot.receivers() << heard("ZL1AA", "RF70", "", 1, 0, kEvening + 2000));
    archive->snapshot.hours.append({QString(), 10, 1});
    store->WriteString("Orlix"_qs, "TavikReachGrid"_qs, "IO91wm"_qs);
    ReachWindow &w = open();
    w.resize(800, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.map->grab();
    EXPECT_EQ(ReachMapProbe::dotCount(*w.map), 7);
    EXPECT_EQ(w.chart->chart().bands, (QStringList{"40m"_qs, "20m"_qs, "10m"_qs}));
    EXPECT_EQ(w.bandTable->item(3, FarthestColumn)->text(), "VK2DEF"_qs); // ZL1AA is not on the map
}

TEST_F(ReachWindowTest, ReportsOutsideTheBandPlanShowAsOtherWithTheirFrequencyOnHover)
{
    ReachSnapshot &s = archive->snapshot;
    s.bands.append({"Other"_qs, 3, 2, 1, -4, kEvening + 400, FrequencyRange{40'680'000, 222'100'000}});
    HeardReceiver w6 = heard("W6AAA", "CM87", "Other", 2, -4, kEvening + 400);
    w6.frequencies = FrequencyRange{40'680'000, 222'100'000};
    HeardReceiver k6 = heard("K6BBB", "CM87", "Other", 1, std::nullopt, kEvening + 300);
    k6.frequencies = FrequencyRange{40'680'000, 40'680'000};
    s.setReceivers(s.receivers() << w6 << k6);
    store->WriteString("Orlix"_qs, "TavikReachGrid"_qs, "IO91wm"_qs);
    ReachWindow &w = open();
    ASSERT_EQ(rowTexts(w.bandTable, BandColumn), (QStringList{"40m"_qs, "20m"_qs, "10m"_qs, "Other"_qs, "All bands"_qs}));
    const QString tip = shownTip(w.bandTable->item(3, BandColumn)->toolTip());
    EXPECT_TRUE(tip.contains("40.68 MHz to 222.1 MHz"_qs)) << tip.toStdString();
    EXPECT_TRUE(w.bandTable->item(0, BandColumn)->toolTip().isEmpty());

    w.resize(900, 700);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.map->grab();
    const QList<PlacedReceiver> placed = w.data()->receivers();
    const auto at = std::find_if(placed.cbegin(), placed.cend(),
                                 [](const PlacedReceiver &r) { return r.heard.callsign == "W6AAA"_qs; });
    ASSERT_NE(at, placed.cend());
    const QString text = w.map->textAt(ReachMapProbe::pixelOf(*w.map, at->mapPoint));
    EXPECT_TRUE(text.contains("W6AAA  CM87\n"_qs)) << text.toStdString();
    EXPECT_TRUE(text.contains("\nOther (40.68 MHz to 222.1 MHz): best -4 dB"_qs)) << text.toStdString();
    EXPECT_TRUE(text.contains("\nOther (40.68 MHz): last heard"_qs)) << text.toStdString();
}

TEST_F(ReachWindowTest, NetworkTextShowsAsItsCharactersNeverAsMarkup)
{
    QList<HeardReceiver> receivers = archive->snapshot.receivers();
    receivers[1].callsign = "<b>K1ABC</b>"_qs; // DL1XYZ on 40m, JO62qm
    archive->snapshot.setReceivers(receivers);
    store->WriteString("Orlix"_qs, "TavikReachGrid"_qs, "IO91wm"_qs);
    store->WriteString("Orlix"_qs, "TavikReachBand"_qs, "<i>40m</i>"_qs);
    ReachWindow &w = open();
    w.selectBand("40m"_qs);
    w.resize(900, 700);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.map->grab();
    const QList<PlacedReceiver> placed = w.data()->receivers();
    const auto at = std::find_if(placed.cbegin(), placed.cend(),
                                 [](const PlacedReceiver &r) { return r.heard.locator == "JO62qm"_qs; });
    ASSERT_NE(at, placed.cend());
    const QPoint pixel = ReachMapProbe::pixelOf(*w.map, at->mapPoint).toPoint();
    QHelpEvent hover(QEvent::ToolTip, pixel, w.map->mapToGlobal(pixel));
    QApplication::sendEvent(w.map, &hover);
    EXPECT_TRUE(shownTip(QToolTip::text()).startsWith("<b>K1ABC</b>  JO62qm\n"_qs)) << QToolTip::text().toStdString();
    QToolTip::hideText();

    // The status line names the band alone and tells an archive's error, which may name a file.
    w.selectBand("<i>40m</i>"_qs);
    EXPECT_TRUE(w.statusLabel->text().contains("Showing <i>40m</i> alone"_qs));
    EXPECT_EQ(w.statusLabel->textFormat(), Qt::PlainText);
    EXPECT_EQ(w.locatorNote->textFormat(), Qt::PlainText);
}

TEST_F(ReachWindowTest, HoveringADotNamesTheReceiverWithDistanceBearingReportAndTime)
{
    store->WriteString("Orlix"_qs, "TavikReachGrid"_qs, "IO91wm"_qs);
    ReachWindow &w = open();
    w.resize(900, 700);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.map->grab();
    const QList<PlacedReceiver> placed = w.data()->receivers();
    const auto sydney = std::find_if(placed.cbegin(), placed.cend(),
                                     [](const PlacedReceiver &r) { return r.heard.callsign == "VK2DEF"_qs; });
    ASSERT_NE(sydney, placed.cend());
    const QString text = w.map->textAt(ReachMapProbe::pixelOf(*w.map, sydney->mapPoint) + QPointF(2, -2));
    EXPECT_EQ(text, "VK2DEF  QF56od\n16987 km, 60\u00B0\n20m: best -15 dB, last heard 2026-12-07 10:41 UTC\n"
                    "10m: last heard 2026-12-07 10:20 UTC"_qs);
    EXPECT_TRUE(w.map->textAt(QPointF(1, w.map->height() - 2)).isEmpty());

    // On the centred map the operator is in the middle and Sydney at its distance.
    const QPointF middle(w.map->width() / 2.0, w.map->height() / 2.0);
    EXPECT_EQ(ReachMapProbe::pixelOf(*w.map, QPointF()), middle);
    const double rim = QLineF(middle, ReachMapProbe::pixelOf(*w.map, QPointF(0, kMapRimKm))).length();
    EXPECT_NEAR(QLineF(middle, ReachMapProbe::pixelOf(*w.map, sydney->mapPoint)).length(), rim * 16987.098216 / kMapRimKm, 1e-6);
}

TEST_F(ReachWindowTest, TheMapAndTheChartRepaintFromTheirCache)
{
    ReachWindow &w = open();
    w.resize(800, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.map->repaint();
    const int builds = w.map->pictureBuilds();
    w.map->repaint();
    w.map->repaint();
    EXPECT_EQ(w.map->pictureBuilds(), builds);
    w.map->setUnit(DistanceUnit::Miles);
    w.map->repaint();
    EXPECT_EQ(w.map->pictureBuilds(), builds + 1);
    w.resize(760, 600);
    w.map->repaint();
    EXPECT_EQ(w.map->pictureBuilds(), builds + 2);
}

TEST_F(ReachWindowTest, TheChartColoursEachCellByItsReceiversAndNamesThemOnHover)
{
    ReachWindow &w = open();
    w.resize(900, 700);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QImage picture = w.chart->grab().toImage();
    const BandHourChart &chart = w.chart->chart();
    ASSERT_EQ(chart.bands, (QStringList{"40m"_qs, "20m"_qs, "10m"_qs}));
    const struct { qsizetype row; int hour; const char *text; } cells[] = {
        {1, 10, "20m, 10:00-11:00 UTC: 5 receivers"},
        {1, 9, "20m, 09:00-10:00 UTC: 4 receivers"},
        {2, 10, "10m, 10:00-11:00 UTC: 1 receiver"},
        {0, 23, "40m, 23:00-00:00 UTC: 0 receivers"},
    };
    for (const auto &c : cells) {
        const QRectF cell = w.chart->cellRect(c.row, c.hour);
        ASSERT_FALSE(cell.isEmpty()) << c.text;
        EXPECT_EQ(w.chart->textAt(cell.center()), QString::fromLatin1(c.text));
        const QPoint pixel = (cell.center() * picture.devicePixelRatio()).toPoint();
        EXPECT_EQ(picture.pixelColor(pixel).rgb(), BandHourView::cellColour(chart.at(c.row, c.hour), 5).rgb())
            << c.text;
    }
    EXPECT_NE(BandHourView::cellColour(5, 5), BandHourView::cellColour(1, 5));
    EXPECT_NE(BandHourView::cellColour(1, 5), BandHourView::cellColour(0, 5));
}

TEST_F(ReachWindowTest, AtItsMinimumSizeEverythingStaysInView)
{
    ReachWindow &w = open();
    EXPECT_EQ(w.minimumSize(), QSize(640, 480));
    w.resize(100, 100);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.size(), QSize(640, 480));
    for (QWidget *control : std::initializer_list<QWidget *>{w.periodBox, w.unitBox, w.locatorEdit,
                                                             w.allBandsButton, w.exportButton}) {
        const QRect inWindow(control->mapTo(&w, QPoint()), control->size());
        EXPECT_TRUE(w.rect().contains(inWindow)) << control->objectName().toStdString();
    }
    EXPECT_GE(w.map->width(), 200);
    EXPECT_GE(w.map->height(), 150);
    EXPECT_GE(w.chart->width(), 200);
    EXPECT_GE(w.bandTable->height(), 60);
}

TEST_F(ReachWindowTest, TheMapAndTheChartSpeakAndTheTableLetsGoOfTab)
{
    store->WriteString("Orlix"_qs, "TavikReachGrid"_qs, "IO91wm"_qs);
    ReachWindow &w = open();
    w.resize(900, 700);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    // On Linux a combo box reads as its value; its label comes by the relation.
    const auto labels = QAccessible::queryAccessibleInterface(w.unitBox)->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->text(QAccessible::Name), "Distances in:"_qs);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.locatorEdit)->text(QAccessible::Name), "Your locator"_qs);

    const struct
    {
        PictureWidget *picture;
        QString describes;
        QString firstItem;
    } pictures[] = {
        {w.map, "Reach, last 24 hours: 3 bands, "_qs,
         "40m: 3 receivers, farthest DL1XYZ (JO62qm), 932 km, 78°, 1 without a locator"_qs},
        {w.chart, "3 bands by 24 hours; the most: 20m, 10:00-11:00 UTC: 5 receivers."_qs,
         "40m, 00:00-01:00 UTC: 0 receivers"_qs},
    };
    for (const auto &p : pictures)
        expectReadable(*p.picture, p.describes, p.firstItem);

    w.bandTable->setFocus();
    QTest::keyClick(w.bandTable, Qt::Key_Tab);
    EXPECT_FALSE(w.bandTable->hasFocus());
}
