#include "alerts/alertcentre.h"
#include "archive/reportarchive.h"
#include "compare/comparesettings.h"
#include "compare/comparewindow.h"

#include "../../formfixture.h"
#include "../reach/fakearchive.h"
#include "../compare/comparefixture.h"

#include <QLineEdit>
#include <QMenu>
#include <QTest>

// The main window opening the Compare window, on a fake archive.
class OpenCompareTest : public FormTest
{
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        archive = std::make_shared<FakeArchiveData>();
        archive->comparison = comparefixture::reports();
        writeBytes("TavikRepView.ini"_qs, "MyCall=N0CALL\r\n");
    }

    TForm1 &createWithArchive(const QStringList &arguments = {})
    {
        TForm1 &f = create(arguments, std::nullopt, fakeArchiveOpener(archive));
        f.ReadCallsign();
        return f;
    }
    static void deleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    static void settle(CompareWindow *w) { ASSERT_TRUE(QTest::qWaitFor([w] { return !w->isBusy(); }, 10000)); }

    std::shared_ptr<FakeArchiveData> archive;
};

TEST_F(OpenCompareTest, TheMenusAndCtrlMOpenOneWindowAtMostThatClosesAndOpensAgain)
{
    {
        auto s = openIniSettingsStore(storeFile());
        s->WriteString(comparesettings::kSection, comparesettings::kCalls, "N0CALL/P"_qs);
    }
    TForm1 &f = createWithArchive();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QTest::keyClick(&f, Qt::Key_M, Qt::ControlModifier);
    CompareWindow *first = f.compareWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    settle(first);
    EXPECT_EQ(first->reference(), "N0CALL/P"_qs);
    EXPECT_GT(first->data()->total.difference.pairs, 0);

    std::unique_ptr<QMenu> list(f.createListMenu(QPoint(5, 5)));
    QAction *entry = list->findChild<QAction *>("CompareAction"_qs);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
    entry->trigger();
    QMenu tray;
    f.alerts().addEntries(&tray);
    tray.findChild<QAction *>("CompareAction"_qs)->trigger();
    EXPECT_EQ(f.compareWindow(), first);
    EXPECT_EQ(f.findChildren<CompareWindow *>().size(), 1);

    first->setGeometry(150, 130, 760, 560);
    first->close();
    deleteClosedWindows();
    EXPECT_EQ(f.compareWindow(), nullptr);
    EXPECT_TRUE(f.isVisible());

    entry->trigger();
    ASSERT_NE(f.compareWindow(), nullptr);
    settle(f.compareWindow());
    EXPECT_EQ(f.compareWindow()->size(), QSize(760, 560));
    EXPECT_EQ(f.compareWindow()->reference(), "N0CALL/P"_qs);
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(OpenCompareTest, TheCompareSwitchOpensItAndAPassOfEitherStationAsksItAgain)
{
    TForm1 &f = createWithArchive({"/compare"_qs});
    f.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.compareWindow() != nullptr; }, 10000));
    CompareWindow *w = f.compareWindow();
    settle(w);
    EXPECT_TRUE(archive->compared.isEmpty()) << "no reference: nothing asked";
    w->referencesEdit->setText("n0call/p, K1ABC"_qs);
    emit w->referencesEdit->editingFinished();
    settle(w);
    ASSERT_EQ(archive->compared.size(), 1);

    // What a reference's answer adds to the archive refreshes the window.
    emit f.archive().referencesStored(3);
    settle(w);
    EXPECT_EQ(archive->compared.size(), 2);
    emit f.archive().stored(0);
    emit f.archive().referencesStored(0);
    settle(w);
    EXPECT_EQ(archive->compared.size(), 2);
    emit f.archive().stored(2);
    settle(w);
    EXPECT_EQ(archive->compared.size(), 3);
    EXPECT_EQ(archive->compared.last(), "N0CALL N0CALL/P"_qs);
}
