#include "desktopnotifier.h"

// Q_OS_WIN comes from Qt's headers: the test must follow one.
#include <QtGlobal>

#ifdef Q_OS_WIN

#include <QMetaObject>

// Windows has no freedesktop notification service: the tray icon's message
// tells the operator instead.
struct DesktopNotifier::Private
{
};

DesktopNotifier::DesktopNotifier(const QString &, QObject *parent) : QObject(parent) {}

DesktopNotifier::~DesktopNotifier() = default;

void DesktopNotifier::notify(quint64 token, const DesktopNotice &)
{
    // Asynchronous like the D-Bus answer elsewhere.
    QMetaObject::invokeMethod(
        this, [this, token] { emit failed(token, QStringLiteral("no desktop notification service on Windows")); },
        Qt::QueuedConnection);
}

QString DesktopNotifier::trayMessageBody(const QString &body) const
{
    // The tray's balloon takes plain text.
    return body;
}

void DesktopNotifier::actionInvoked(uint, const QString &) {}

void DesktopNotifier::notificationClosed(uint, uint) {}

#endif
