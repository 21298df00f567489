#include "homelocator.h"

#include "base/fileutil.h"
#include "locator.h"
#include "base/callsignfile.h"
#include "platform/settingsstore.h"
#include "base/textlines.h"

HomeLocator homeLocator(const SettingsStore &store, const QString &wsjtxSettingsFile)
{
    HomeLocator home;
    try {
        if (fileutil::isPresent(wsjtxSettingsFile)) {
            TextLines lines;
            lines.loadFromFile(wsjtxSettingsFile);
            home.grid = gridFromLines(lines.lines());
        }
    } catch (const std::exception &) {
        // An unreadable copy gives no locator; a typed one still counts.
    }
    home.fromWsjtx = locatorPosition(home.grid).has_value();
    if (home.fromWsjtx)
        return home;
    try {
        home.grid = store.ReadString(kHomeGridSection, kHomeGridName, QString());
    } catch (const std::exception &) {
        home.grid.clear();
    }
    if (!locatorPosition(home.grid))
        home.grid.clear();
    return home;
}
