#include "sidewindow.h"

#include "platform/freememory.h"

#include <QWidget>

bool raiseSideWindow(QWidget *window)
{
    if (!window)
        return false;
    window->showNormal();
    window->raise();
    window->activateWindow();
    return true;
}

void showSideWindow(QWidget *window, QObject *owner)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(window, &QObject::destroyed, owner, [] { returnFreedMemory(); });
    window->show();
}
