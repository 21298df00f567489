#pragma once

#include <QString>

#include <functional>

// Every dialog of the program goes through here, so tests can answer them.
namespace Dialogs {

enum class Kind {
    Message,    // a plain message dialog with an OK button
    Error,      // the error box of a failed handler
    MessageBox, // a message box with its own caption, OK only, no icon
};

struct Shown
{
    Kind kind;
    QString caption;
    QString text;
};

void showMessage(const QString &text);
void showError(const QString &text);
void messageBox(const QString &text, const QString &caption);

// Replaces the dialogs with a function (tests); an empty function restores them.
void setHandler(std::function<void(const Shown &)> handler);

} // namespace Dialogs
