// The stored settings: window placement, the alternate-view switch, the
// update-notice flag, the last query time and the build seen at the last run.
#include "tform1.h"

#include "alerts/alertsettings.h"
#include "base/clock.h"
#include "compare/comparesettings.h"
#include "base/datetime.h"
#include "retrieval/endpoints.h"
#include "reach/reachsettings.h"
#include "shell/settingnames.h"
#include "shell/settingstext.h"
#include "base/tavikerror.h"

#include <QCheckBox>
#include <QDir>

using namespace settingname;

void TForm1::LoadSettings()
{
    SettingsStore &s = store();
    move(s.ReadInteger(kSection, kLeft, 100), y());
    move(x(), s.ReadInteger(kSection, kTop, 100));
    resize(s.ReadInteger(kSection, kWidth, 430), height());
    resize(width(), s.ReadInteger(kSection, kHeight, 450));

    // Checking the box runs its click handler, as a click by the operator would.
    CheckBox1->setChecked(s.ReadBool(kSection, kAlternate, false));
    state.NotifyOff = s.ReadBool(kSection, kNotifyOff, true);

    const QDateTime yesterday = datetime::yesterdayMidnight();
    const QString text = s.ReadString(kSection, kLastGet, settingstext::formatStoredDateTime(yesterday));
    std::optional<TavikError> badTime;
    try {
        state.LastGetTime = settingstext::parseStoredDateTime(text, Clock::nowLocal().date());
    } catch (const TavikError &e) {
        // The query falls due at once; the other values still load.
        badTime = e;
    }
    state.LastVersion = s.ReadString(kSection, kLastVers, QString());
    if (badTime)
        throw *badTime;
}

void TForm1::SaveSettings()
{
    SettingsStore &s = store();
    s.WriteInteger(kSection, kLeft, x());
    s.WriteInteger(kSection, kTop, y());
    s.WriteInteger(kSection, kWidth, width());
    s.WriteInteger(kSection, kHeight, height());
    s.WriteString(kSection, kFolder, QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator());
    s.WriteBool(kSection, kAlternate, CheckBox1->isChecked());
    s.WriteBool(kSection, kNotifyOff, state.NotifyOff);
    s.WriteString(kSection, kLastGet, settingstext::formatStoredDateTime(state.LastGetTime));
}

void TForm1::ResetSettings()
{
    SettingsStore &s = store();
    for (const QString &ident : {kLeft, kTop, kWidth, kHeight, kLastGet, kFolder, kNotifyOff, kLastVers, kAlternate})
        s.deleteValue(kSection, ident);
    // Then the addresses an operator may have stored, and the Reach and Compare windows' choices.
    for (const QString &ident : {storedaddress::kReport, storedaddress::kEcho, storedaddress::kSite})
        s.deleteValue(kSection, ident);
    for (const QString &ident : reachsettings::allNames())
        s.deleteValue(reachsettings::kSection, ident);
    for (const QString &ident : comparesettings::allNames())
        s.deleteValue(comparesettings::kSection, ident);
    // The alert rules, the tray and the start at login (the autostart entry stays).
    for (const QString &ident : alertsettings::allNames())
        s.deleteValue(alertsettings::kSection, ident);
}
