#include "platform/addresswatcher.h"
#include "platform/shutdownrequests.h"
#include "platform/singleinstance.h"
#include "platform/versioninfo.h"

#include "../../testsupport.h"

#include <QSignalSpy>

#ifndef Q_OS_WIN
#include <csignal>
#endif

TEST(SingleInstance, ASecondGuardIsRefusedUntilTheFirstIsGone)
{
    const QByteArray previous = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    {
        SingleInstanceGuard first;
        ASSERT_TRUE(first.acquire());
        SingleInstanceGuard second;
        EXPECT_FALSE(second.acquire());
    }
    SingleInstanceGuard third;
    EXPECT_TRUE(third.acquire());
    qputenv("XDG_RUNTIME_DIR", previous);
}

TEST(AddressWatcher, FlipsOnlineWithAnAddressThatIsNotLoopback)
{
    QString address;
    AddressWatcher watcher([&address] { return address; });
    QSignalSpy changed(&watcher, &AddressWatcher::statusChanged);
    watcher.check();
    EXPECT_FALSE(watcher.online());
    EXPECT_EQ(changed.count(), 0);

    for (const char *loopback : {"127.0.0.1", "::1"}) {
        address = QString::fromLatin1(loopback);
        watcher.check();
        EXPECT_FALSE(watcher.online()) << loopback;
    }
    EXPECT_EQ(changed.count(), 0);

    address = "192.168.1.20"_qs;
    watcher.check();
    EXPECT_TRUE(watcher.online());
    EXPECT_EQ(watcher.currentAddress(), "192.168.1.20"_qs);
    watcher.check();
    EXPECT_EQ(changed.count(), 1);
    address.clear();
    watcher.check();
    EXPECT_FALSE(watcher.online());
    EXPECT_EQ(changed.count(), 2);
}

TEST(VersionInfo, ProgramFileTimeIsHeldToEvenSeconds)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("program"));
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2026, 12, 5), QTime(14, 22, 11)), QFileDevice::FileModificationTime));
    file.close();
    EXPECT_EQ(programFileTime(name), QDateTime(QDate(2026, 12, 5), QTime(14, 22, 10)));
}

TEST(AddressWatcher, TheProgramsLookupReportsTheAddressGivenByTheEnvironment)
{
    const QByteArray previous = qgetenv("TAVIK_LOCAL_ADDRESS");
    qputenv("TAVIK_LOCAL_ADDRESS", " 192.0.2.1 ");
    AddressWatcher watcher(programAddressLookup());
    watcher.check();
    EXPECT_TRUE(watcher.online());
    EXPECT_EQ(watcher.currentAddress(), "192.0.2.1"_qs);

    qunsetenv("TAVIK_LOCAL_ADDRESS");
    EXPECT_EQ(programAddressLookup()(), firstLocalIPv4Address());
    if (!previous.isNull())
        qputenv("TAVIK_LOCAL_ADDRESS", previous);
}

#ifndef Q_OS_WIN
// Started under nohup: a signal ignored at start stays ignored, the others
// are handled while the program runs and given back at its end.
TEST(ShutdownRequests, ASignalIgnoredAtStartStaysIgnored)
{
    const auto disposition = [](int signal) {
        struct sigaction now = {};
        ::sigaction(signal, nullptr, &now);
        return now.sa_handler;
    };
    struct sigaction ignore = {}, hangUp = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ASSERT_EQ(::sigaction(SIGHUP, &ignore, &hangUp), 0);
    const auto terminate = disposition(SIGTERM);
    {
        ShutdownRequests requests;
        EXPECT_EQ(disposition(SIGHUP), SIG_IGN);
        EXPECT_NE(disposition(SIGTERM), terminate);
    }
    EXPECT_EQ(disposition(SIGHUP), SIG_IGN);
    EXPECT_EQ(disposition(SIGTERM), terminate);
    ::sigaction(SIGHUP, &hangUp, nullptr);
}
#endif
