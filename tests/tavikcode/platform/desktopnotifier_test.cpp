#include "alerts/noticeplan.h"
#include "platform/desktopnotifier.h"

#include "../alerts/alertfixture.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using namespace alertfixture;

namespace {

// A notification server of our own: Xvfb, a private session bus and dunst,
// which keeps every notification in its history.
class NotificationServer
{
public:
    // Empty when it runs, else why not.
    QString start(const QString &folder)
    {
        for (const char *tool : {"Xvfb", "dbus-daemon", "dunst", "dunstctl"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                return QString::fromLatin1(tool) + QStringLiteral(" is missing (scripts/install-deps.sh installs it)");
        }
        m_x.start(QStringLiteral("Xvfb"), {"-displayfd"_qs, "1"_qs, "-screen"_qs, "0"_qs, "640x480x24"_qs,
                                           "-nolisten"_qs, "tcp"_qs});
        m_bus.start(QStringLiteral("dbus-daemon"), {"--session"_qs, "--nofork"_qs, "--print-address=1"_qs});
        const QString display = u':' + firstLine(m_x);
        address = firstLine(m_bus);
        if (display.size() < 2 || address.isEmpty())
            return QStringLiteral("Xvfb or dbus-daemon did not start");

        const QString config = folder + QStringLiteral("/dunstrc");
        QFile rc(config);
        if (!rc.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write ") + config;
        // Shows everything, for as long as it stays, and keeps it all.
        rc.write("[global]\nmarkup = full\nformat = \"<b>%s</b>\\n%b\"\nhistory_length = 100\n"
                 "notification_limit = 0\nidle_threshold = 0\nsticky_history = yes\n"
                 "[urgency_low]\ntimeout = 0\n[urgency_normal]\ntimeout = 0\n[urgency_critical]\ntimeout = 0\n");
        rc.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        m_dunst.setProcessEnvironment(env);
        m_dunst.setStandardErrorFile(QProcess::nullDevice()); // "No icon found" where none is installed
        m_dunst.start(QStringLiteral("dunst"), {"-config"_qs, config});
        m_control = QDBusConnection::connectToBus(address, QStringLiteral("TavikTestControl"));
        const bool up = QTest::qWaitFor(
            [&] {
                return m_control.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.Notifications"));
            },
            20000);
        return up ? QString() : QStringLiteral("dunst did not come up on the private bus");
    }

    ~NotificationServer()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("TavikTestControl"));
        for (QProcess *p : {&m_dunst, &m_bus, &m_x}) {
            p->terminate();
            if (!p->waitForFinished(5000))
                p->kill();
            p->waitForFinished(5000);
        }
    }

    QByteArray dunstctl(const QStringList &arguments)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("dunstctl"), arguments);
        p.waitForFinished(20000);
        return p.readAllStandardOutput();
    }

    // Every notification shown, oldest first: the text dunst made of it
    // (its markup read as Pango reads it) and its application's name.
    QList<std::pair<QString, QString>> history()
    {
        dunstctl({"close-all"_qs});
        const auto field = [](const QJsonValue &v, const char *name) { return v[QLatin1String(name)]; };
        const QJsonArray shown = field(QJsonDocument::fromJson(dunstctl({"history"_qs})).object(), "data")[0].toArray();
        QList<std::pair<QString, QString>> list;
        for (const QJsonValue &n : shown) {
            QString text = field(field(n, "message"), "data").toString();
            text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
            text.replace("&lt;"_qs, "<"_qs).replace("&gt;"_qs, ">"_qs).replace("&quot;"_qs, "\""_qs);
            text.replace("&apos;"_qs, "'"_qs).replace("&#39;"_qs, "'"_qs).replace("&amp;"_qs, "&"_qs);
            list.prepend({text, field(field(n, "appname"), "data").toString()});
        }
        return list;
    }

    // A StatusNotifierItem host on the bus, as a desktop whose tray speaks that protocol has.
    bool registerTrayHost(QObject *watcher)
    {
        return m_control.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))
               && m_control.registerObject(QStringLiteral("/StatusNotifierWatcher"), watcher,
                                           QDBusConnection::ExportAllProperties);
    }

    QString address;

private:
    static QString firstLine(QProcess &p)
    {
        if (!p.waitForStarted(10000))
            return {};
        while (!p.canReadLine() && p.state() == QProcess::Running)
            p.waitForReadyRead(10000);
        return QString::fromUtf8(p.readLine()).trimmed();
    }

    QProcess m_x, m_bus, m_dunst;
    QDBusConnection m_control{QString()};
};

class TrayHostWatcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)

public:
    bool hostRegistered() const { return true; }
};

} // namespace

TEST(DesktopNotifier, AlertsArriveAtARealNotificationServerAsPlainText)
{
    QTemporaryDir folder;
    NotificationServer server;
    if (const QString why = server.start(folder.path()); !why.isEmpty())
        GTEST_SKIP() << "No notification server to test against: " << why.toStdString();

    DesktopNotifier notifier(server.address);
    QSignalSpy shown(&notifier, &DesktopNotifier::shown);
    QSignalSpy failed(&notifier, &DesktopNotifier::failed);
    const auto tell = [&](const Judgement &j, const QDateTime &now) {
        static NoticeState notices;
        const NoticePlan plan = planNotices(AlertSettings(), notices, j.alerts, j.backlog, now);
        for (const Notice &n : plan.notices)
            notifier.notify(quint64(shown.size() + failed.size() + 1), {n.summary, n.body, true, 0});
        return int(plan.notices.size());
    };

    // A first run that brings a day's reports: one notification.
    Judge judge;
    judge.settings.record = judge.settings.opening = false;
    QList<ArchivedReport> day;
    for (qint64 t = kStart - 86400; t < kStart; t += 300)
        day << report(t, kBerlin, k40m) << report(t + 5, kBoston) << report(t + 9, kSydney, k10m);
    ASSERT_EQ(tell(judge.pass(day, kStart), QDateTime::fromSecsSinceEpoch(kStart)), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() == 1; }, 20000)) << failed.size();

    // A new entity, from a receiver whose callsign is markup.
    const Station marked{"<b>X</b>", "PM95", "Japan"};
    ASSERT_EQ(tell(judge.pass({report(kStart + 60, marked)}, kStart + 300), QDateTime::fromSecsSinceEpoch(kStart + 300)),
              1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() == 2; }, 20000)) << failed.size();
    EXPECT_TRUE(failed.isEmpty());

    // A click (the default action) comes back with the notification's id.
    QSignalSpy activated(&notifier, &DesktopNotifier::activated);
    server.dunstctl({"action"_qs, "0"_qs});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !activated.isEmpty(); }, 20000));
    EXPECT_TRUE(activated[0][0] == shown[0][1] || activated[0][0] == shown[1][1]);

    const auto history = server.history();
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(history[0].second, "TavikRepView"_qs);
    EXPECT_TRUE(history[0].first.startsWith(
        "First look\nFirst look: 864 reports from 3 receivers in 3 DXCC entities on 3 bands"_qs))
        << history[0].first.toStdString();
    EXPECT_EQ(history[1].first, "New DXCC entity on 20m\nNew DXCC entity: Japan, <b>X</b> on 20m, 9,575 km (32°)"_qs);
}

// Without a notification service the tray icon's message tells the alert: Qt
// shows it in a plain-text balloon, unless its tray icon is a
// StatusNotifierItem, which hands the message to the notification service.
TEST(DesktopNotifier, TheTrayMessageIsEscapedOnlyWhereItIsReadAsMarkup)
{
    QTemporaryDir folder;
    NotificationServer server;
    if (const QString why = server.start(folder.path()); !why.isEmpty())
        GTEST_SKIP() << "No notification server to test against: " << why.toStdString();
    const QString body = "New DXCC entity: Japan, <b>X</b> on 20m"_qs;

    DesktopNotifier balloon(server.address);
    QSignalSpy shown(&balloon, &DesktopNotifier::shown);
    balloon.notify(1, {"New DXCC entity"_qs, body, false, 0});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty(); }, 20000)); // what it asked the bus first is answered
    EXPECT_EQ(balloon.trayMessageBody(body), body);

    TrayHostWatcher watcher;
    ASSERT_TRUE(server.registerTrayHost(&watcher));
    DesktopNotifier item(server.address);
    EXPECT_TRUE(QTest::qWaitFor([&] { return item.trayMessageBody(body) != body; }, 20000));
    EXPECT_EQ(item.trayMessageBody(body), "New DXCC entity: Japan, &lt;b&gt;X&lt;/b&gt; on 20m"_qs);
}

#include "desktopnotifier_test.moc"
