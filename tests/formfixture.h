#pragma once

#include "retrieval/httpclient.h"
#include "shell/dialogs.h"
#include "window/tform1.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QStringList>
#include <QTimer>
#include <QtTest/QTest>

#include <memory>
#include <optional>
#include <vector>

// A window in a temporary working folder, with a settings store of its own, a
// local address the test decides, and dialogs that are recorded instead of shown.
class FormTest : public InTempFolder
{
protected:
    void SetUp() override
    {
        InTempFolder::SetUp();
        qputenv("XDG_CONFIG_HOME", path(QStringLiteral("config")).toUtf8());
        Dialogs::setHandler([this](const Dialogs::Shown &d) { dialogs.push_back(d); });
        Clock::set(QDateTime(QDate(2026, 12, 7), QTime(12, 0, 0), Qt::LocalTime));
    }
    void TearDown() override
    {
        form.reset();
        Dialogs::setHandler({});
        InTempFolder::TearDown();
    }

    QString storeFile() const { return path(QStringLiteral("Orlix.ini")); }

    // Creates the window as the program does, running its creation sequence.
    // Unless told otherwise its addresses lead nowhere: a test never leaves
    // the machine; archiveReader, when given, stands for the report archive.
    TForm1 &create(const QStringList &arguments = {}, std::optional<Endpoints> endpoints = std::nullopt,
                   decltype(TForm1Environment::archiveReader) archiveReader = {})
    {
        form.reset();
        TForm1Environment env;
        env.store = openIniSettingsStore(storeFile());
        env.arguments = arguments;
        env.localAddress = [this] { return localAddress; };
        env.programFile = QCoreApplication::applicationFilePath();
        env.endpoints = endpoints ? *endpoints : nowhere();
        env.archiveReader = std::move(archiveReader);
        form = std::make_unique<TForm1>(std::move(env));
        return *form;
    }

    static Endpoints nowhere()
    {
        Endpoints e = Endpoints::defaults();
        e.reportBase = e.siteBase = QStringLiteral("https://127.0.0.1:1");
        e.echoAddress = QStringLiteral("http://127.0.0.1:1/");
        return e;
    }

    // Lets the window's outstanding request come to its end: its answer is
    // then written and processed, or its failure handled.
    void settle()
    {
        ASSERT_TRUE(form);
        // Wakes for each event of the request (no polling steps): the client's
        // own deadlines end any request that never finishes.
        QDeadlineTimer deadline(60'000);
        while (form->IdHTTP1->isBusy() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        ASSERT_FALSE(form->IdHTTP1->isBusy());
    }

    QStringList dialogTexts() const
    {
        QStringList texts;
        for (const auto &d : dialogs)
            texts << d.text;
        return texts;
    }

    std::unique_ptr<TForm1> form;
    std::vector<Dialogs::Shown> dialogs;
    QString localAddress; // empty: offline
};
