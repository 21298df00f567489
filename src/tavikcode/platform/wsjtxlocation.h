#pragma once

#include <QString>

// The folder in which WSJT-X keeps its settings file, ending in a separator:
// %LOCALAPPDATA%\WSJT-X\ on Windows, the user's configuration folder on Linux
// ($XDG_CONFIG_HOME, else ~/.config), ~/Library/Preferences on macOS.
QString wsjtxSettingsFolder();

// The name of WSJT-X's settings file in that folder.
QString wsjtxSettingsFileName();

// The value of an environment variable, empty when it is not set.
QString GetEnvironmentText(const QString &name);
