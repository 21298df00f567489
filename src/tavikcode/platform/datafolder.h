#pragma once

#include <QString>

// The folder in which the program keeps its files when the desktop menu
// starts it (the "/DATAFOLDER" switch): $XDG_DATA_HOME/TavikRepView, else
// ~/.local/share/TavikRepView; a relative XDG_DATA_HOME counts as not set.
// On Windows the TavikRepView folder under LOCALAPPDATA.
QString dataFolderPath();

// Creates the data folder when it is missing and makes it the working
// folder. Returns an empty text when that worked, else a message for the
// operator naming the folder; the working folder is then unchanged.
QString enterDataFolder();
