#include "../../formfixture.h"
#include "compare/comparesettings.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTimer>
#include <QLineEdit>

using SettingsTest = FormTest;

namespace {
const char *const kNine[] = {"TavikViewLeft", "TavikViewTop", "TavikViewWidth", "TavikViewHeight",
                             "TavikViewFolder", "TavikViewAlternate", "TavikViewNotifyOff",
                             "TavikViewLastGet", "TavikViewLastVers"};
}

TEST_F(SettingsTest, FirstRunTakesTheDefaults)
{
    TForm1 &f = create();
    EXPECT_EQ(f.pos(), QPoint(100, 100));
    EXPECT_EQ(f.size(), QSize(475, 450));
    EXPECT_FALSE(f.CheckBox1->isChecked());
    EXPECT_TRUE(f.state.NotifyOff);
    EXPECT_EQ(f.state.LastGetTime, QDateTime(QDate(2026, 12, 6), QTime(0, 0), Qt::LocalTime));
    EXPECT_TRUE(f.state.LastVersion.isEmpty());
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(SettingsTest, PlacementSwitchNoticeFlagAndLastQuerySurviveARestart)
{
    TForm1 &f = create();
    f.move(210, 160);
    f.resize(475, 520);
    f.CheckBox1->setChecked(true);
    f.state.NotifyOff = false;
    f.state.LastGetTime = QDateTime(QDate(2026, 12, 7), QTime(11, 58, 31), Qt::LocalTime);
    f.FormClose();

    TForm1 &g = create();
    EXPECT_EQ(g.pos(), QPoint(210, 160));
    EXPECT_EQ(g.size(), QSize(475, 520));
    EXPECT_TRUE(g.CheckBox1->isChecked());
    EXPECT_FALSE(g.state.NotifyOff);
    EXPECT_EQ(g.state.LastGetTime, QDateTime(QDate(2026, 12, 7), QTime(11, 58, 31), Qt::LocalTime));
    const QByteArray ini = readBytes(storeFile());
    EXPECT_TRUE(ini.contains("TavikViewLastGet=07/12/26 11:58:31")) << ini.constData();
    const QByteArray folder = QByteArray("TavikViewFolder=") + QDir::currentPath().toUtf8() + '/';
    EXPECT_TRUE(ini.contains(folder));
}

TEST_F(SettingsTest, ResetInAnyCaseDeletesAllNineValues)
{
    for (const char *argument : {"/reset", "x/ReSeTy"}) {
        create().FormClose();
        auto store = openIniSettingsStore(storeFile());
        store->WriteString("Orlix"_qs, "TavikViewLastVers"_qs, "27"_qs);
        store.reset();

        TForm1 &f = create({QString::fromLatin1(argument)});
        auto check = openIniSettingsStore(storeFile());
        for (const char *name : kNine)
            EXPECT_FALSE(check->value("Orlix"_qs, QString::fromLatin1(name)).has_value()) << argument << name;
        EXPECT_TRUE(f.state.LastVersion.isEmpty());
        EXPECT_EQ(f.state.Switches, " "_qs + QString::fromLatin1(argument).toUpper());
    }
}

TEST_F(SettingsTest, ResetAlsoForgetsTheCompareWindowsReferencesAndChoices)
{
    {
        auto store = openIniSettingsStore(storeFile());
        for (const QString &name : comparesettings::allNames())
            store->WriteString(comparesettings::kSection, name, "x"_qs);
    }
    create({"/RESET"_qs});
    auto check = openIniSettingsStore(storeFile());
    for (const QString &name : comparesettings::allNames())
        EXPECT_FALSE(check->value(comparesettings::kSection, name).has_value()) << name.toStdString();
    EXPECT_EQ(comparesettings::allNames().size(), 12);
}

TEST_F(SettingsTest, UnreadableLastQueryTimeIsReportedAndTheRestStillLoads)
{
    writeBytes(storeFile(), "[Orlix]\nTavikViewLastGet=12-06-26\nTavikViewLastVers=27\nTavikViewTop=150\n");
    TForm1 &f = create();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs.front().text, "'12-06-26' is not a valid date and time"_qs);
    EXPECT_EQ(f.state.LastGetTime, QDateTime(QDate(2026, 12, 6), QTime(0, 0), Qt::LocalTime));
    EXPECT_EQ(f.state.LastVersion, "27"_qs);
    EXPECT_EQ(f.y(), 150);
    EXPECT_EQ(f.Edit1->text(), "0"_qs);
}

TEST_F(SettingsTest, LogMarkerFileSwitchesLoggingOn)
{
    EXPECT_FALSE(create().state.LogEnabled);
    writeBytes("logflag.txt"_qs, "");
    EXPECT_TRUE(create().state.LogEnabled);
}

TEST_F(SettingsTest, TheWindowClosesAfterTellingThatTheSettingsCouldNotBeSaved)
{
    TForm1 &f = create();
    f.show();
    // A folder where the store's file should be: every save fails.
    QFile::remove(storeFile());
    ASSERT_TRUE(QDir().mkpath(storeFile()));
    dialogs.clear();

    f.close();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs.front().text.startsWith("Failed to set data for '"_qs)) << dialogs.front().text.toStdString();
    EXPECT_FALSE(f.isVisible());
}

TEST_F(SettingsTest, CloseClosesAndStopsTheTimerAlsoWhenSavingFails)
{
    TForm1 &f = create();
    f.show();
    f.Timer1->start();
    QFile::remove(storeFile());
    ASSERT_TRUE(QDir().mkpath(storeFile()));
    dialogs.clear();

    f.Button1->click();
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(f.Timer1->isActive());
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs.front().text.startsWith("Failed to set data for '"_qs)) << dialogs.front().text.toStdString();
}

TEST_F(SettingsTest, StoredAddressesAreReadAtStartRefusedWhenNotHttpsAndRemovedByReset)
{
    for (const char *name : {"TAVIK_REPORT_URL", "TAVIK_ECHO_URL", "TAVIK_SITE_URL"})
        qunsetenv(name);
    auto store = openIniSettingsStore(storeFile());
    store->WriteString("Orlix"_qs, "TavikViewReportUrl"_qs, "https://127.0.0.1:4443"_qs);
    store->WriteString("Orlix"_qs, "TavikViewSiteUrl"_qs, "http://127.0.0.1:8080"_qs);
    store.reset();
    // The window as the program creates it: its addresses are its own to find.
    const auto window = [this](const QStringList &arguments) -> TForm1 & {
        form.reset();
        TForm1Environment env;
        env.store = openIniSettingsStore(storeFile());
        env.arguments = arguments;
        env.localAddress = [] { return QString(); };
        form = std::make_unique<TForm1>(std::move(env));
        return *form;
    };

    TForm1 &f = window({});
    EXPECT_EQ(f.endpoints().reportBase, "https://127.0.0.1:4443"_qs);
    EXPECT_EQ(f.endpoints().siteBase, Endpoints::defaults().siteBase);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs.front().text.contains("\"http://127.0.0.1:8080\" given by the setting TavikViewSiteUrl"_qs))
        << dialogs.front().text.toStdString();

    dialogs.clear();
    TForm1 &g = window({"/reset"_qs});
    EXPECT_EQ(g.endpoints().reportBase, Endpoints::defaults().reportBase);
    EXPECT_TRUE(dialogs.empty());
    auto check = openIniSettingsStore(storeFile());
    EXPECT_FALSE(check->value("Orlix"_qs, "TavikViewReportUrl"_qs).has_value());
    EXPECT_FALSE(check->value("Orlix"_qs, "TavikViewSiteUrl"_qs).has_value());
}
