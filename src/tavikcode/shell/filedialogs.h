#pragma once

#include <QString>

#include <functional>

class QWidget;

// Every file dialog of the program goes through here, so tests can answer them.
namespace FileDialogs {

struct SaveRequest
{
    QString caption;
    QString suggestedName; // a file name, possibly with a folder
    QString filter;        // e.g. "CSV files (*.csv)"
};

// Asks for a file to save to and returns at once: the dialog stays open
// while the program goes on, and chosen runs with the file once the operator
// picks one (never when they cancel).
void saveFileName(QWidget *parent, const SaveRequest &request, std::function<void(const QString &)> chosen);

// Replaces the dialogs with a function that answers them at once, an empty
// file for a cancel (tests); an empty function restores them.
void setHandler(std::function<QString(const SaveRequest &)> handler);

} // namespace FileDialogs
