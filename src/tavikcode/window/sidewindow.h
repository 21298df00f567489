#pragma once

#include "archive/archiveworker.h"
#include "base/filenames.h"

#include <QString>

class QObject;
class QWidget;
class SettingsStore;

// What opening the Reach and the Compare window from the main window shares:
// one of each at most, brought to the front when asked for again; closed, it
// is gone with its jobs, and the next opening starts afresh.

// Brings an open window to the front; false when there is none.
bool raiseSideWindow(QWidget *window);

// Shows a new window that goes when it is closed, handing back the memory it
// held while owner lasts.
void showSideWindow(QWidget *window, QObject *owner);

// The program's store, its reader of the archive, WSJT-X's settings in the
// working folder, the callsign.
template <class Environment>
Environment sideWindowEnvironment(SettingsStore *store, ArchiveReaders &archive, const QString &callsign)
{
    Environment environment;
    environment.store = store;
    environment.archive = &archive;
    environment.wsjtxSettingsFile = files::kWsjtxIni;
    environment.callsign = QString(callsign).remove(u'\r').trimmed();
    return environment;
}
