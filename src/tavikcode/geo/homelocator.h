#pragma once

#include <QString>

class SettingsStore;

// Where the Reach window keeps the locator typed into it.
inline const QString kHomeGridSection = QStringLiteral("Orlix");
inline const QString kHomeGridName = QStringLiteral("TavikReachGrid");

// The operator's locator as the Reach and Compare windows take it: the
// "MyGrid=" of WSJT-X's settings (the working-folder copy, read as the
// callsign is), else the one typed into the Reach window
// (TavikReachGrid). A file or store that cannot be read gives nothing from
// it; grid is empty when neither is a locator.
struct HomeLocator
{
    QString grid;           // as given, e.g. "IO91wm"
    bool fromWsjtx = false; // WSJT-X's: the Reach window does not let it be typed over
};

HomeLocator homeLocator(const SettingsStore &store, const QString &wsjtxSettingsFile);
