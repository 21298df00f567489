#include "desktopnotifier.h"

// Q_OS_WIN comes from Qt's headers: the test must follow one.
#include <QtGlobal>

#ifndef Q_OS_WIN

#include <QAtomicInteger>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QList>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kName = QStringLiteral("TavikRepView");
const QString kDefaultAction = QStringLiteral("default");
constexpr qsizetype kIdsKept = 100;

QDBusMessage serviceCall(const QString &method)
{
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

} // namespace

struct DesktopNotifier::Private
{
    explicit Private(const QString &address)
        : ownName(address.isEmpty() ? QString()
                                    : QStringLiteral("TavikNotifier%1").arg(counter.fetchAndAddRelaxed(1))),
          bus(address.isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection::connectToBus(address, ownName))
    {
    }
    ~Private()
    {
        if (!ownName.isEmpty())
            QDBusConnection::disconnectFromBus(ownName);
    }

    static inline QAtomicInteger<int> counter;
    QString ownName; // of a connection of our own, closed with us
    QDBusConnection bus;
    // Until the service tells its capabilities, the body is taken to be read as markup.
    bool markup = true;
    bool actions = true;
    bool statusNotifierTray = false; // Qt's tray icon speaks StatusNotifierItem here
    QList<quint32> ids; // of our notifications still shown, the newest last
};

DesktopNotifier::DesktopNotifier(const QString &busAddress, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>(busAddress))
{
    d->bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                   SLOT(actionInvoked(uint, QString)));
    d->bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                   SLOT(notificationClosed(uint, uint)));
    auto *watcher = new QDBusPendingCallWatcher(d->bus.asyncCall(serviceCall(QStringLiteral("GetCapabilities"))), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<QStringList> reply = *w;
        if (!reply.isError()) {
            d->markup = reply.value().contains(QStringLiteral("body-markup"));
            d->actions = reply.value().contains(QStringLiteral("actions"));
        }
        w->deleteLater();
    });
    // As Qt decides where its tray icon goes: a StatusNotifierItem when a host is registered.
    QDBusMessage host = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    host << QStringLiteral("org.kde.StatusNotifierWatcher") << QStringLiteral("IsStatusNotifierHostRegistered");
    host.setAutoStartService(false); // asks, never starts one
    auto *hostWatcher = new QDBusPendingCallWatcher(d->bus.asyncCall(host), this);
    connect(hostWatcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<QDBusVariant> reply = *w;
        d->statusNotifierTray = !reply.isError() && reply.value().variant().toBool();
        w->deleteLater();
    });
}

DesktopNotifier::~DesktopNotifier() = default;

QString DesktopNotifier::trayMessageBody(const QString &body) const
{
    return d->statusNotifierTray && d->markup ? body.toHtmlEscaped() : body;
}

void DesktopNotifier::notify(quint64 token, const DesktopNotice &notice)
{
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), kName);
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
    if (notice.sound)
        hints.insert(QStringLiteral("sound-name"), QStringLiteral("message-new-instant"));
    else
        hints.insert(QStringLiteral("suppress-sound"), true);
    QStringList actions;
    if (d->actions)
        actions << kDefaultAction << QStringLiteral("Show in Reach");
    // Callsigns and entity names come from strangers: a service that reads
    // markup must show them as text.
    const QString body = d->markup ? notice.body.toHtmlEscaped() : notice.body;
    QDBusMessage call = serviceCall(QStringLiteral("Notify"));
    call << kName << quint32(notice.replaces) << kName << notice.summary << body << actions << hints << qint32(-1);

    auto *watcher = new QDBusPendingCallWatcher(d->bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, token](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<uint> reply = *w;
        w->deleteLater();
        if (reply.isError()) {
            emit failed(token, reply.error().message());
            return;
        }
        const quint32 id = reply.value();
        d->ids.removeAll(id);
        d->ids << id;
        if (d->ids.size() > kIdsKept)
            d->ids.removeFirst();
        emit shown(token, id);
    });
}

void DesktopNotifier::actionInvoked(uint id, const QString &key)
{
    // The service tells every client of every action: ours only.
    if (key == kDefaultAction && d->ids.contains(id))
        emit activated(id);
}

void DesktopNotifier::notificationClosed(uint id, uint)
{
    if (d->ids.removeAll(id) > 0)
        emit closed(id);
}

#endif
