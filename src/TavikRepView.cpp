#include "platform/singleinstance.h"
#include "shell/dialogs.h"
#include "tform1.h"

#include <QApplication>
#include <QFont>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TavikRepView"));
    // Where the window's Windows fonts are missing, take faces of the same width.
    const QStringList narrowFaces = {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                     QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), narrowFaces);
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), narrowFaces);

    SingleInstanceGuard guard;
    if (!guard.acquire()) {
        Dialogs::showMessage(QStringLiteral("TavikRepView Application is already active"));
        return 0;
    }

    TForm1Environment environment;
    environment.arguments = QApplication::arguments().mid(1);
    TForm1 form(std::move(environment));
    form.show();
    return QApplication::exec();
}
