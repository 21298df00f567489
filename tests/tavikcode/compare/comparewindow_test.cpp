#include "compare/comparewindow.h"

#include "archive/archivestore.h"
#include "compare/comparechart.h"
#include "compare/comparemap.h"
#include "compare/comparesettings.h"
#include "base/filenames.h"
#include "shell/dialogs.h"
#include "shell/filedialogs.h"
#include "platform/settingsstore.h"

#include "../../testsupport.h"
#include "comparemapprobe.h"
#include "../reach/fakearchive.h"
#include "../parts/readablepicture.h"
#include "comparefixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimeZone>

// A Compare window of N0CALL on a fake archive holding the fixture, with a
// settings store of its own, in a temporary working folder.
class CompareWindowTest : public InTempFolder
{
protected:
    void SetUp() override
    {
        InTempFolder::SetUp();
        Clock::set(QDateTime(QDate(2026, 12, 7), QTime(11, 0), QTimeZone::utc()));
        store = openIniSettingsStore(path(QStringLiteral("Orlix.ini")));
        archive = std::make_shared<FakeArchiveData>();
        archive->comparison = comparefixture::reports();
        writeBytes(files::kWsjtxIni, "[Configuration]\nMyGrid=IO91wm\n");
        Dialogs::setHandler([this](const Dialogs::Shown &d) { dialogs.push_back(d); });
        FileDialogs::setHandler([this](const FileDialogs::SaveRequest &) { return saveAnswer; });
    }
    void TearDown() override
    {
        window.reset();
        Dialogs::setHandler({});
        FileDialogs::setHandler({});
        InTempFolder::TearDown();
    }

    CompareWindow &open(ArchiveWorker::OpenReader reader = {})
    {
        window.reset();
        CompareWindowEnvironment env;
        env.store = store.get();
        readers = std::make_unique<ArchiveReaders>(reader ? reader : fakeArchiveOpener(archive));
        env.archive = readers.get();
        env.wsjtxSettingsFile = files::kWsjtxIni;
        env.callsign = QStringLiteral("N0CALL");
        window = std::make_unique<CompareWindow>(std::move(env));
        settle();
        return *window;
    }
    void settle() { ASSERT_TRUE(QTest::qWaitFor([this] { return !window->isBusy(); }, 10000)); }

    QStringList column(int c) const
    {
        QStringList texts;
        for (int row = 0; row < window->bandTable->rowCount(); ++row)
            texts << window->bandTable->item(row, c)->text();
        return texts;
    }
    QString stored(const QString &ident) const
    {
        return store->ReadString(comparesettings::kSection, ident, QString());
    }

    std::unique_ptr<SettingsStore> store;
    std::shared_ptr<FakeArchiveData> archive;
    std::unique_ptr<ArchiveReaders> readers; // outlives the window
    std::unique_ptr<CompareWindow> window;
    std::vector<Dialogs::Shown> dialogs;
    QString saveAnswer;
};

TEST_F(CompareWindowTest, WithoutAReferenceItSaysHowToGiveOneAndAsksNothing)
{
    CompareWindow &w = open();
    EXPECT_TRUE(w.references().isEmpty());
    EXPECT_FALSE(w.referenceBox->isEnabled());
    EXPECT_TRUE(w.statusLabel->text().contains("No reference station yet"_qs)) << w.statusLabel->text().toStdString();
    EXPECT_EQ(w.bandTable->rowCount(), 0);
    EXPECT_TRUE(archive->compared.isEmpty());
    w.resize(900, 700);
    w.map->grab();
    w.chart->grab();
    EXPECT_EQ(CompareMapProbe::markerCount(*w.map), 0);
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(CompareWindowTest, ShowsTheBandsTheChartAndTheMapOfAReference)
{
    store->WriteString(comparesettings::kSection, comparesettings::kCalls, "N0CALL/P"_qs);
    CompareWindow &w = open();
    EXPECT_EQ(archive->compared, QStringList{"N0CALL N0CALL/P"_qs});
    EXPECT_EQ(column(0), (QStringList{"40m"_qs, "20m"_qs, "All bands (pooled)"_qs}));
    EXPECT_EQ(column(6), (QStringList{"too few"_qs, "+0.6 dB (-0.9 to +1.2)"_qs, "+0.5 dB (-1.0 to +1.2)"_qs}));
    EXPECT_EQ(w.bandTable->horizontalHeaderItem(3)->text(), "Only N0CALL/P"_qs);
    EXPECT_TRUE(w.statusLabel->text().contains("109 pairs from 32 receivers"_qs)) << w.statusLabel->text().toStdString();

    w.resize(1000, 760);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.map->grab();
    w.chart->grab();
    EXPECT_EQ(CompareMapProbe::markerCount(*w.map), 37); // every receiver that counted, all bands together
    const QPointF east(w.chart->width() / 2.0 + 60, 0); // the chart's middle is lower down
    QString tip;
    for (int y = 0; y < w.chart->height() && tip.isEmpty(); y += 4) {
        const QString t = w.chart->textAt(QPointF(east.x(), y));
        if (t.startsWith("E:"_qs))
            tip = t;
    }
    EXPECT_EQ(tip, "E: too few (3 receivers, 10 pairs)"_qs);

    // One band alone: its receivers on the map, its figures in the chart.
    w.bandTable->selectRow(0);
    w.selectBand("40m"_qs);
    w.map->grab();
    EXPECT_EQ(CompareMapProbe::markerCount(*w.map), 12);
    EXPECT_EQ(stored(comparesettings::kBand), "40m"_qs);
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(CompareWindowTest, ReferencesAndChoicesAreKeptAndTheWindowOpensAgainWithThem)
{
    CompareWindow &w = open();
    QSignalSpy changed(&w, &CompareWindow::referencesChanged);
    w.referencesEdit->setText(" k1abc, n0call, G4XYZ/P, DL1AA, M0XYZ"_qs);
    emit w.referencesEdit->editingFinished();
    settle();
    const QStringList kept = {"K1ABC"_qs, "G4XYZ/P"_qs, "DL1AA"_qs};
    EXPECT_EQ(w.references(), kept);
    EXPECT_EQ(w.referencesEdit->text(), "K1ABC, G4XYZ/P, DL1AA"_qs);
    EXPECT_FALSE(w.noteLabel->isHidden());
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(stored(comparesettings::kCalls), "K1ABC,G4XYZ/P,DL1AA"_qs);
    EXPECT_EQ(archive->compared.last(), "N0CALL K1ABC"_qs);

    w.referenceBox->setCurrentIndex(1);
    emit w.referenceBox->activated(1);
    w.periodBox->setCurrentIndex(2); // last 7 days
    emit w.periodBox->activated(2);
    w.windowBox->setCurrentIndex(2); // 10 minutes
    emit w.windowBox->activated(2);
    w.intervalBox->setValue(30);
    settle();
    EXPECT_EQ(archive->compared.last(), "N0CALL G4XYZ/P"_qs);
    w.move(210, 160);
    w.close();
    window.reset();

    CompareWindow &again = open();
    EXPECT_EQ(again.references(), kept);
    EXPECT_EQ(again.reference(), "G4XYZ/P"_qs);
    EXPECT_EQ(again.period(), ReachPeriod::Last7Days);
    EXPECT_EQ(again.pairingWindow(), PairingWindow::TenMinutes);
    EXPECT_EQ(again.intervalBox->value(), 30);
    EXPECT_EQ(again.pos(), QPoint(210, 160));
    const ArchivePeriod asked = archive->periods.last();
    EXPECT_EQ(asked.toSeconds - asked.fromSeconds, 7 * 86400);
}

TEST_F(CompareWindowTest, AnEmptyOrMissingArchiveSaysSoWithoutABox)
{
    store->WriteString(comparesettings::kSection, comparesettings::kCalls, "N0CALL/P"_qs);
    {
        ArchiveStore empty;
        empty.open(path(files::kArchive), true, QDateTime::currentDateTime());
    }
    const QString file = path(files::kArchive);
    CompareWindow &w = open([file] { return openArchiveReader(file); });
    EXPECT_EQ(column(0), QStringList{"All bands (pooled)"_qs});
    EXPECT_TRUE(w.statusLabel->text().contains("no band on which both N0CALL and N0CALL/P were heard"_qs))
        << w.statusLabel->text().toStdString();

    const QString missing = path("elsewhere/"_qs + files::kArchive);
    CompareWindow &none = open([missing] { return openArchiveReader(missing); });
    EXPECT_TRUE(none.statusLabel->text().contains("cannot be read"_qs)) << none.statusLabel->text().toStdString();
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(CompareWindowTest, ClosingWhileAQuestionRunsAndExportingThePairs)
{
    store->WriteString(comparesettings::kSection, comparesettings::kCalls, "N0CALL/P"_qs);
    archive->gated = true;
    {
        CompareWindowEnvironment env;
        env.store = store.get();
        readers = std::make_unique<ArchiveReaders>(fakeArchiveOpener(archive));
        env.archive = readers.get();
        env.callsign = QStringLiteral("N0CALL");
        auto held = std::make_unique<CompareWindow>(std::move(env));
        archive->waitForWaiting(1);
        EXPECT_TRUE(held->isBusy());
    } // gone with its question still at the gate, which it interrupted
    EXPECT_EQ(archive->readersClosed, 0); // the program's reader stays for the next window
    readers.reset();
    EXPECT_EQ(archive->readersOpened, archive->readersClosed);
    archive->gated = false;

    CompareWindow &w = open();
    saveAnswer = path("pairs.csv"_qs);
    w.exportPairs();
    settle();
    const QList<QByteArray> lines = readBytes(saveAnswer).split('\n');
    EXPECT_EQ(lines.size(), 1 + 109 + 1); // the header, the pairs, nothing after the last line end
    EXPECT_TRUE(w.statusLabel->text().startsWith("Exported 109 pairs to "_qs));
}

TEST_F(CompareWindowTest, AFailedQuestionLeavesTheFiguresShownUnderTheirOwnReference)
{
    store->WriteString(comparesettings::kSection, comparesettings::kCalls, "G4ABC,K1ABC"_qs);
    CompareWindow &w = open();
    ASSERT_EQ(w.reference(), "G4ABC"_qs);
    const auto shown = w.data();
    ASSERT_TRUE(shown);
    {
        std::lock_guard lock(archive->mutex);
        archive->failure = "The archive is locked"_qs;
    }
    w.referenceBox->setCurrentIndex(1);
    emit w.referenceBox->activated(1);
    settle();
    EXPECT_EQ(w.reference(), "K1ABC"_qs);
    EXPECT_EQ(w.data(), shown);
    EXPECT_EQ(w.bandTable->horizontalHeaderItem(3)->text(), "Only G4ABC"_qs);
    EXPECT_TRUE(w.statusLabel->text().contains("Still shown: N0CALL against G4ABC."_qs))
        << w.statusLabel->text().toStdString();
}

TEST_F(CompareWindowTest, TheMapAndTheChartSpeakAndTheTableLetsGoOfTab)
{
    store->WriteString(comparesettings::kSection, comparesettings::kCalls, "N0CALL/P"_qs);
    CompareWindow &w = open();
    w.resize(1000, 760);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.intervalBox)->text(QAccessible::Name),
              "Ask each reference every"_qs);

    const struct
    {
        PictureWidget *picture;
        QString describes;
        QString firstItem;
    } pictures[] = {
        {w.map, "all bands: 37 receivers on the map; 32 heard both, 18 of them louder from N0CALL"_qs,
         "R00X  CR60sd; 5010 km, 349°; 7 pairs, median difference -0.1 dB"_qs},
        {w.chart, "Median difference N0CALL minus N0CALL/P in dB by direction and distance, all bands"_qs,
         "N: too few (7 receivers, 26 pairs)"_qs},
    };
    for (const auto &p : pictures)
        expectReadable(*p.picture, p.describes, p.firstItem);

    w.bandTable->setFocus();
    QTest::keyClick(w.bandTable, Qt::Key_Tab);
    EXPECT_FALSE(w.bandTable->hasFocus());
}
