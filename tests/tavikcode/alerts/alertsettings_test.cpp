#include "alerts/alertsettings.h"
#include "platform/settingsstore.h"

#include "../../testsupport.h"

#include <QTemporaryDir>

TEST(AlertSettings, NewValuesKeepTheirDefaultsRoundTripAndFallBackWhenInvalid)
{
    QTemporaryDir dir;
    auto store = openIniSettingsStore(dir.filePath("settings.ini"_qs));
    const AlertSettings defaults = AlertSettings::load(*store);
    EXPECT_EQ(defaults, AlertSettings{});
    EXPECT_TRUE(defaults.unheard);
    EXPECT_EQ(defaults.unheardCount, 10);
    EXPECT_EQ(defaults.unheardMinutes, 30);
    EXPECT_EQ(defaults.wsjtxAddress, "127.0.0.1"_qs);
    EXPECT_EQ(defaults.wsjtxPort, 2237);
    EXPECT_FALSE(alertsettings::wsjtxListenEverSet(*store));

    AlertSettings chosen;
    chosen.unheard = false;
    chosen.unheardCount = 4;
    chosen.unheardMinutes = 90;
    chosen.wsjtxListen = true;
    chosen.wsjtxAddress = "239.255.0.1"_qs;
    chosen.wsjtxPort = 2238;
    chosen.save(*store);
    EXPECT_EQ(AlertSettings::load(*store), chosen);
    EXPECT_EQ(store->value("Orlix"_qs, "TavikWsjtxListen"_qs), "1"_qs);
    EXPECT_TRUE(alertsettings::wsjtxListenEverSet(*store));

    struct Case { const char *name; const char *value; };
    const Case invalid[] = {
        {"TavikWsjtxAddress", "localhost"}, {"TavikWsjtxAddress", ""}, {"TavikWsjtxPort", "0"},
        {"TavikWsjtxPort", "65536"}, {"TavikAlertUnheardCount", "0"}, {"TavikAlertUnheardMinutes", "x"},
    };
    for (const Case &c : invalid)
        store->WriteString("Orlix"_qs, QString::fromLatin1(c.name), QString::fromLatin1(c.value));
    const AlertSettings fallen = AlertSettings::load(*store);
    EXPECT_EQ(fallen.wsjtxAddress, "127.0.0.1"_qs);
    EXPECT_EQ(fallen.wsjtxPort, 2237);
    EXPECT_EQ(fallen.unheardCount, 10);
    EXPECT_EQ(fallen.unheardMinutes, 30);

    const QStringList names = alertsettings::allNames();
    for (const char *name : {"TavikAlertUnheard", "TavikAlertUnheardCount", "TavikAlertUnheardMinutes",
                             "TavikWsjtxListen", "TavikWsjtxAddress", "TavikWsjtxPort"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(name))) << name;
}
