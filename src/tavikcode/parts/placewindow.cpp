#include "placewindow.h"

#include "platform/settingsstore.h"
#include "windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <exception>

void placeWindow(QWidget &window, QSize wanted, const std::optional<QRect> &kept)
{
    const QWidget *main = window.parentWidget() ? window.parentWidget()->window() : nullptr;
    const bool mainShown = main && main->isVisible();
    const QSize frame = mainShown ? main->frameGeometry().size() - main->geometry().size() : QSize(0, 0);

    WindowPlacementInput input;
    if (QScreen *primary = QGuiApplication::primaryScreen())
        input.screens << primary->availableGeometry();
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            input.screens << screen->availableGeometry();
    }
    if (mainShown)
        input.mainWindow = main->frameGeometry();
    input.wanted = wanted + frame;
    input.minimum = window.minimumSize() + frame;
    if (kept)
        input.kept = QRect(kept->topLeft(), kept->size() + frame);

    const QRect place = windowPlacement(input);
    window.move(place.topLeft());
    window.resize(place.size() - frame);
}

std::optional<QRect> keptPlacement(const SettingsStore &store, const QString &section, const QString &left,
                                   const QString &top, const QString &width, const QString &height)
{
    int values[4];
    const QString *names[] = {&left, &top, &width, &height};
    try {
        for (int i = 0; i < 4; ++i) {
            bool number = false;
            values[i] = store.value(section, *names[i]).value_or(QString()).trimmed().toInt(&number, 10);
            if (!number)
                return std::nullopt;
        }
    } catch (const std::exception &) {
        return std::nullopt; // a value that is no text: as if none were kept
    }
    return QRect(values[0], values[1], values[2], values[3]);
}
