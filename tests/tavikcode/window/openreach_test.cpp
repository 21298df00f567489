#include "reach/reachmap.h"
#include "archive/reportarchive.h"
#include "base/filenames.h"
#include "reach/reachwindow.h"

#include "../../formfixture.h"
#include "../reach/fakearchive.h"
#include "../reach/reachfixture.h"

#include <QDir>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>

// The main window opening the Reach window, on a fake archive.
class OpenReachTest : public FormTest
{
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        archive = std::make_shared<FakeArchiveData>();
        archive->snapshot = reachfixture::snapshot();
    }

    // As FormTest::create, with the fake archive.
    TForm1 &createWithArchive(const QStringList &arguments = {})
    {
        return create(arguments, std::nullopt, fakeArchiveOpener(archive));
    }

    static void deleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // The working folder's files but the test's settings store, which is looked at apart.
    QStringList folderContents() const
    {
        QStringList entries;
        for (const QFileInfo &info : QDir::current().entryInfoList(QDir::Files | QDir::NoDotAndDotDot)) {
            if (info.absoluteFilePath() == QFileInfo(storeFile()).absoluteFilePath())
                continue;
            entries << info.fileName() + u' ' + QString::number(info.size()) + u' '
                    + QString::number(info.lastModified().toMSecsSinceEpoch());
        }
        return entries;
    }

    std::shared_ptr<FakeArchiveData> archive;
};

TEST_F(OpenReachTest, TheListMenuKeepsItsEntriesAndGainsReach)
{
    TForm1 &f = createWithArchive();
    std::unique_ptr<QMenu> standard(f.RichEdit1->createStandardContextMenu());
    std::unique_ptr<QMenu> menu(f.createListMenu(QPoint(5, 5)));
    QStringList own, ours;
    for (QAction *a : standard->actions())
        own << a->text();
    for (QAction *a : menu->actions())
        ours << a->text();
    ASSERT_EQ(ours.size(), own.size() + 8);
    EXPECT_EQ(ours.mid(0, own.size()), own);
    EXPECT_TRUE(menu->actions().at(own.size())->isSeparator());
    // Then the tray menu's entries, for desktops without a tray icon.
    EXPECT_EQ(ours.mid(own.size() + 1), (QStringList{"Show window"_qs, "Reach..."_qs, "Compare..."_qs, "Alerts..."_qs,
                                                     "Settings..."_qs, QString(), "Quit"_qs}));
    QAction *reach = menu->actions().at(own.size() + 2);
    EXPECT_EQ(reach->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_EQ(menu->actions().at(own.size() + 3)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
    EXPECT_EQ(f.RichEdit1->contextMenuPolicy(), Qt::CustomContextMenu);

    reach->trigger();
    ASSERT_NE(f.reachWindow(), nullptr);
    EXPECT_TRUE(f.reachWindow()->isVisible());
    EXPECT_TRUE(f.reachWindow()->isWindow());
}

TEST_F(OpenReachTest, CtrlROpensOneWindowAtMostAndClosingItChangesNothingElse)
{
    TForm1 &f = createWithArchive();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.Timer1->isActive(); }, 10000)) << "the activation ran";
    f.archive().waitForIdle(); // the activation opened the archive
    const bool ticking = f.Timer1->isActive();
    const QStringList files = folderContents();
    const QByteArray settings = readBytes(storeFile());

    QTest::keyClick(&f, Qt::Key_R, Qt::ControlModifier);
    ReachWindow *first = f.reachWindow();
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !first->isBusy(); }, 10000));
    f.openReachWindow();
    EXPECT_EQ(f.reachWindow(), first);
    EXPECT_EQ(f.findChildren<ReachWindow *>().size(), 1);

    first->close();
    deleteClosedWindows();
    EXPECT_EQ(f.reachWindow(), nullptr);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.Timer1->isActive(), ticking);
    EXPECT_EQ(folderContents(), files);
    // Only the Reach window's own values were added to the store.
    const QList<QByteArray> before = settings.split('\n');
    for (const QByteArray &line : readBytes(storeFile()).split('\n')) {
        if (!before.contains(line)) {
            EXPECT_TRUE(line.startsWith("TavikReach")) << line.constData();
        }
    }

    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QTest::keyClick(&f, Qt::Key_R, Qt::ControlModifier);
    ASSERT_NE(f.reachWindow(), nullptr);
    EXPECT_TRUE(f.reachWindow()->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.reachWindow()->isBusy(); }, 10000));
    EXPECT_EQ(f.reachWindow()->data()->total.counts.reports, 44);
}

TEST_F(OpenReachTest, TheReachSwitchOpensItAfterTheActivation)
{
    for (const char *argument : {"/reach", "x/REACHy"}) {
        TForm1 &f = createWithArchive({QString::fromLatin1(argument)});
        EXPECT_EQ(f.reachWindow(), nullptr) << argument;
        f.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return f.reachWindow() != nullptr; }, 10000)) << argument;
        // The main window's own sequence ran to its end first.
        EXPECT_TRUE(f.Timer1->isActive()) << argument;
        form.reset();
    }
    TForm1 &plain = createWithArchive();
    plain.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return plain.Timer1->isActive(); }, 10000));
    QCoreApplication::processEvents();
    EXPECT_EQ(plain.reachWindow(), nullptr);
}

TEST_F(OpenReachTest, ResetRemovesTheReachValuesToo)
{
    {
        auto s = openIniSettingsStore(storeFile());
        for (const char *name : {"TavikReachLeft", "TavikReachTop", "TavikReachWidth", "TavikReachHeight",
                                 "TavikReachPeriod", "TavikReachUnits", "TavikReachGrid", "TavikReachBand"})
            s->WriteString("Orlix"_qs, QString::fromLatin1(name), "1"_qs);
        s->WriteString("Orlix"_qs, "TavikViewTop"_qs, "150"_qs);
    }
    createWithArchive({"/reset"_qs});
    auto check = openIniSettingsStore(storeFile());
    for (const char *name : {"TavikReachLeft", "TavikReachTop", "TavikReachWidth", "TavikReachHeight",
                             "TavikReachPeriod", "TavikReachUnits", "TavikReachGrid", "TavikReachBand",
                             "TavikViewTop"})
        EXPECT_FALSE(check->value("Orlix"_qs, QString::fromLatin1(name)).has_value()) << name;
}

TEST_F(OpenReachTest, TheWindowKeepsItsPlaceAcrossOpenings)
{
    TForm1 &f = createWithArchive();
    f.openReachWindow();
    ReachWindow *w = f.reachWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->isBusy(); }, 10000));
    w->setGeometry(160, 140, 720, 540);
    w->close();
    deleteClosedWindows();

    f.openReachWindow();
    ASSERT_NE(f.reachWindow(), nullptr);
    EXPECT_EQ(f.reachWindow()->size(), QSize(720, 540));
    EXPECT_TRUE(f.reachWindow()->windowTitle().contains("Reach"_qs));
}

TEST_F(OpenReachTest, APassThatAddedReportsAsksTheOpenWindowAgain)
{
    writeBytes(files::kCallsignIni, "MyCall=G4XYZ\r\n");
    TForm1 &f = createWithArchive();
    f.ReadCallsign();
    f.openArchive();
    f.openReachWindow();
    ReachWindow *reach = f.reachWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !reach->isBusy(); }, 10000));
    const auto asked = [&] {
        std::lock_guard lock(archive->mutex);
        return archive->periods.size();
    };
    const qsizetype before = asked();

    // The same answer twice: the first adds a report and asks, the second adds nothing.
    const QString report = "<receptionReport receiverCallsign=\"K1ABC\" senderCallsign=\"G4XYZ\" "
                           "flowStartSeconds=\"1796644800\" frequency=\"14074000\" mode=\"FT8\" sNR=\"-5\" />"_qs;
    for (int pass = 0; pass < 2; ++pass) {
        f.state.ResponseLines.setLines({"<receptionReports>"_qs, report, "</receptionReports>"_qs});
        f.ProcessResponse();
        f.archive().waitForIdle();
        QCoreApplication::sendPostedEvents();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !reach->isBusy(); }, 10000));
    }
    EXPECT_EQ(asked(), before + 1);
}
