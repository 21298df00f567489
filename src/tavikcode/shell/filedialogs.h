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

// The file the operator chose to save to; empty when they cancelled.
QString saveFileName(QWidget *parent, const SaveRequest &request);

// Replaces the dialogs with a function that answers them (tests); an empty
// function restores them.
void setHandler(std::function<QString(const SaveRequest &)> handler);

} // namespace FileDialogs
