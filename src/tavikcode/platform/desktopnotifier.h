#pragma once

#include <QObject>
#include <QString>

#include <memory>

// A desktop notification as the freedesktop notification service shows it.
struct DesktopNotice
{
    QString summary;      // plain text
    QString body;         // plain text: escaped here when the service reads markup
    bool sound = false;   // asks for the service's "message-new-instant" sound
    quint32 replaces = 0; // the id of a notification to show this one in place of
};

// Desktop notifications through org.freedesktop.Notifications on the session
// D-Bus, asynchronously: nothing here waits for the service. Where there is
// no such service, and on Windows, every notice fails, and the caller tells
// the operator another way.
class DesktopNotifier : public QObject
{
    Q_OBJECT

public:
    // busAddress: a bus other than the session bus (tests).
    explicit DesktopNotifier(const QString &busAddress = QString(), QObject *parent = nullptr);
    ~DesktopNotifier() override;

    // Shows the notice; its id comes through shown(), or failed().
    void notify(quint64 token, const DesktopNotice &notice);

    // The body of a notice that failed, as the tray icon's message must
    // carry it. Qt's balloon on an X11 tray and the Windows tray show the
    // message as plain text; a tray icon on the StatusNotifierItem protocol
    // (where a host is registered with org.kde.StatusNotifierWatcher) hands
    // it to the notification service as a body, which may read markup.
    QString trayMessageBody(const QString &body) const;

signals:
    void shown(quint64 token, quint32 id);
    void failed(quint64 token, const QString &error);
    // The operator clicked the notification (its default action).
    void activated(quint32 id);
    void closed(quint32 id);

private slots:
    void actionInvoked(uint id, const QString &key);
    void notificationClosed(uint id, uint reason);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
