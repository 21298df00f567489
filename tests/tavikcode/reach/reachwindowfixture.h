#pragma once

#include "base/filenames.h"
#include "reach/reachwindow.h"
#include "shell/dialogs.h"
#include "shell/filedialogs.h"
#include "platform/settingsstore.h"

#include "../../testsupport.h"
#include "../parts/readablepicture.h"
#include "fakearchive.h"
#include "reachfixture.h"

#include <QTableWidget>
#include <QTextDocumentFragment>
#include <QTest>
#include <QTimeZone>

#include <memory>
#include <vector>

// A Reach window on a fake archive holding the fixture snapshot, with a
// settings store of its own, in a temporary working folder; dialogs are
// recorded and file dialogs answered.
class ReachWindowTest : public InTempFolder
{
protected:
    void SetUp() override
    {
        InTempFolder::SetUp();
        Clock::set(QDateTime(QDate(2026, 12, 7), QTime(11, 0), QTimeZone::utc()));
        store = openIniSettingsStore(path(QStringLiteral("Orlix.ini")));
        archive = std::make_shared<FakeArchiveData>();
        archive->snapshot = reachfixture::snapshot();
        Dialogs::setHandler([this](const Dialogs::Shown &d) { dialogs.push_back(d); });
        FileDialogs::setHandler([this](const FileDialogs::SaveRequest &r) {
            saveRequests.push_back(r);
            return saveAnswer;
        });
    }
    void TearDown() override
    {
        window.reset();
        Dialogs::setHandler({});
        FileDialogs::setHandler({});
        InTempFolder::TearDown();
    }

    // Opens the window and waits for its first answer.
    ReachWindow &open()
    {
        window.reset();
        ReachWindowEnvironment env;
        env.store = store.get();
        readers = std::make_unique<ArchiveReaders>(fakeArchiveOpener(archive));
        env.archive = readers.get();
        env.wsjtxSettingsFile = files::kWsjtxIni;
        env.callsign = QStringLiteral("G4XYZ");
        window = std::make_unique<ReachWindow>(std::move(env));
        settle();
        return *window;
    }

    // Waits until the window's query or export has come back.
    void settle()
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window->isBusy(); }, 10000));
    }

    // What a tooltip shows: its rich text as read, hard spaces as spaces.
    static QString shownTip(const QString &tip)
    {
        const QString text = Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip;
        return QString(text).replace(QChar::Nbsp, u' ');
    }

    static QStringList rowTexts(const QTableWidget *table, int column)
    {
        QStringList texts;
        for (int row = 0; row < table->rowCount(); ++row)
            texts << (table->item(row, column) ? table->item(row, column)->text() : QString());
        return texts;
    }

    std::unique_ptr<SettingsStore> store;
    std::shared_ptr<FakeArchiveData> archive;
    std::unique_ptr<ArchiveReaders> readers; // outlives the window
    std::unique_ptr<ReachWindow> window;
    std::vector<Dialogs::Shown> dialogs;
    std::vector<FileDialogs::SaveRequest> saveRequests;
    QString saveAnswer;
};
