#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QWidget;

// Every dialog of the program goes through here, so tests can answer them.
//
// A box never waits: it is shown and the caller goes on, so that nothing the
// program shows holds its cycle. The box stays open until the operator closes
// it; the pointer returned is null from then on, which is how a lasting fault
// knows that its box is still up.
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

using Box = QPointer<QObject>;

Box showMessage(const QString &text);
Box showError(const QString &text);
Box messageBox(const QString &text, const QString &caption);

// Shows a plain message with no window behind it (a second copy, a data
// folder that cannot be made): the event loop the caller then runs ends when
// the box is closed.
void showMessageAlone(const QString &text);

// The window every box belongs to. A box parented to whatever window is
// active becomes a window of its own when another program has the focus,
// and outlives the main window. Setting an owner also ends closing().
void setOwner(QWidget *owner);

// The program closes: every box closes, and none opens from now on (what
// closing cuts short is no news), except the closing fault's own box.
void beginClosing();
bool closing();
// The error box of a fault while the program closes; it opens though
// closing has begun, and waits for nobody.
Box showClosingError(const QString &text);

// Closes every box still open (tests, and the end of the program).
void closeAll();
// How many boxes are open.
int openCount();

// Replaces the dialogs with a function that sees each box as it opens
// (tests); an empty function restores them. A box so handled closes at once,
// unless keepOpen is set: then it stays open until closeAll().
void setHandler(std::function<void(const Shown &)> handler, bool keepOpen = false);

} // namespace Dialogs
