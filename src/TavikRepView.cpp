#include "platform/datafolder.h"
#include "platform/freememory.h"
#include "platform/shutdownrequests.h"
#include "platform/singleinstance.h"
#include "shell/dialogs.h"
#include "base/textops.h"
#include "window/tform1.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

int main(int argc, char *argv[])
{
    keepTheHeapSmall();
    QApplication app(argc, argv);
    // The program ends when it closes (TForm1::endProgram), not when its
    // last window goes: a box left behind must not keep it alive.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("TavikRepView"));
    // The installed desktop entry and icon bear the program's name.
    QGuiApplication::setDesktopFileName(QStringLiteral("TavikRepView"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("TavikRepView")));
    // Where the window's Windows fonts are missing, take faces of the same width.
    const QStringList narrowFaces = {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                     QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), narrowFaces);
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), narrowFaces);

    SingleInstanceGuard guard;
    if (!guard.acquire()) {
        Dialogs::showMessageAlone(QStringLiteral("TavikRepView Application is already active"));
        QApplication::exec();
        return 0;
    }

    const QStringList parameters = QApplication::arguments().mid(1);
    // The desktop menu starts the program with "/DATAFOLDER", so that its files
    // go to its own data folder and not to whatever folder the menu starts it
    // in. Started without it, the program works in the folder it is started from.
    if (textops::switchesText(parameters).contains(QStringLiteral("/DATAFOLDER"))) {
        if (const QString problem = enterDataFolder(); !problem.isEmpty()) {
            Dialogs::showMessageAlone(problem);
            QApplication::exec();
            return 1;
        }
    }

    TForm1Environment environment;
    environment.arguments = parameters;
    TForm1 form(std::move(environment));
    // Ended from outside (shutdown, logout, Ctrl+C), it closes as "Close" does.
    ShutdownRequests shutdown;
    QObject::connect(&shutdown, &ShutdownRequests::requested, &form, &TForm1::closeFromOutside);
    form.show();
    return QApplication::exec();
}
