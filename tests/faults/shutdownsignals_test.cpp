// The program ended from outside (shutdown, logout, a service manager,
// Ctrl+C): it closes as "Close" does, with its settings saved and exit
// status 0. The real program, started as the desktop starts it.
#include "../testsupport.h"

#include "base/filenames.h"
#include "standinserver.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#if defined(Q_OS_UNIX)
#include <csignal>
#include <sys/types.h>
#endif

class ShutdownSignalTest : public InTempFolder, public ::testing::WithParamInterface<int>
{
};

TEST_P(ShutdownSignalTest, ClosesAsCloseDoesWithTheSettingsSavedAndExitStatusZero)
{
#if !defined(Q_OS_UNIX)
    GTEST_SKIP() << "Unix signals";
#else
    const int signal = GetParam();
    writeBytes(files::kCallsignIni, "MyCall=G4XYZ\r\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QString()));
    // Nowhere to go: the program stays offline and asks nothing.
    env.insert(QStringLiteral("TAVIK_REPORT_URL"), QStringLiteral("https://127.0.0.1:1"));
    env.insert(QStringLiteral("TAVIK_SITE_URL"), QStringLiteral("https://127.0.0.1:1"));
    env.insert(QStringLiteral("TAVIK_ECHO_URL"), QStringLiteral("http://127.0.0.1:1/"));
    env.insert(QStringLiteral("TAVIK_LOCAL_ADDRESS"), QStringLiteral("10.0.0.2"));
    QProcess program;
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(path(QString()));
    program.start(QStringLiteral(TAVIK_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted());

    // Up and ticking once its activation has written the version file.
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(files::kVersion) && waited.elapsed() < 30000)
        QThread::msleep(20);
    ASSERT_TRUE(QFile::exists(files::kVersion)) << program.readAllStandardError().constData();
    ASSERT_EQ(program.state(), QProcess::Running);

    ::kill(pid_t(program.processId()), signal);
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << program.readAllStandardError().constData();
    EXPECT_EQ(program.exitCode(), 0);
    const QByteArray settings = readBytes(path(QStringLiteral("config/Orlix.ini")));
    EXPECT_TRUE(settings.contains("TavikViewLastGet=")) << settings.constData();
    EXPECT_TRUE(settings.contains("TavikViewLeft=")) << settings.constData();
#endif
}

INSTANTIATE_TEST_SUITE_P(Signals, ShutdownSignalTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto &info) { return std::string(sigabbrev_np(info.param)); });

// The real program on an X server without a window manager, against the
// stand-in: whatever box is up, a close request ends it.
class ClosingOnXTest : public InTempFolder
{
protected:
    void SetUp() override
    {
        InTempFolder::SetUp();
        if (QStandardPaths::findExecutable("Xvfb"_qs).isEmpty() || QStandardPaths::findExecutable("xdotool"_qs).isEmpty())
            GTEST_SKIP() << "Xvfb or xdotool is missing (scripts/install-deps.sh installs them)";
        // A display of this process's own, kept through every client's coming
        // and going (-noreset: by default the server starts over when its last
        // client leaves, and a client connecting then is refused).
        for (int attempt = 0; attempt < 20 && m_display.isEmpty(); ++attempt) {
            const QString display = u':' + QString::number(300 + (QCoreApplication::applicationPid() * 7 + attempt) % 3000);
            m_x.start("Xvfb"_qs, {display, "-noreset"_qs, "-nolisten"_qs, "tcp"_qs, "-screen"_qs, "0"_qs, "1024x768x24"_qs});
            m_display = display;
            if (!m_x.waitForStarted() || !QTest::qWaitFor([&] { return m_x.state() != QProcess::Running || !xdotool({"getdisplaygeometry"_qs}).isEmpty(); }, 10000)
                || m_x.state() != QProcess::Running) {
                m_x.kill();
                m_x.waitForFinished();
                m_display.clear();
            }
        }
        ASSERT_FALSE(m_display.isEmpty()) << "no Xvfb display: " << m_x.readAllStandardError().constData();
        ASSERT_TRUE(server.listen()) << server.errorString().toStdString();
        server.setEchoText("198.51.100.7");
    }
    void TearDown() override
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
        if (m_x.state() != QProcess::NotRunning) {
            m_x.terminate();
            m_x.waitForFinished();
        }
        InTempFolder::TearDown();
    }

    // The version page's route: the program asks for it once it is online.
    static StandInFault onVersionPage(StandInFault::Kind kind, int value)
    {
        StandInFault fault;
        fault.kind = kind;
        fault.value = value;
        fault.sticky = true;
        fault.path = "/web/"_qs;
        return fault;
    }

    void start()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM"_qs, "xcb"_qs);
        env.insert("DISPLAY"_qs, m_display);
        env.insert("XDG_CONFIG_HOME"_qs, path("config"_qs));
        env.insert("XDG_RUNTIME_DIR"_qs, path(QString()));
        env.insert("TAVIK_REPORT_URL"_qs, server.httpsBase());
        env.insert("TAVIK_SITE_URL"_qs, server.httpsBase());
        env.insert("TAVIK_ECHO_URL"_qs, server.httpBase() + u'/');
        env.insert("TAVIK_CA_FILE"_qs, StandInServer::testCaFile());
        env.insert("TAVIK_LOCAL_ADDRESS"_qs, "10.0.0.2"_qs);
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(path(QString()));
        program.start(QStringLiteral(TAVIK_PROGRAM), {});
        ASSERT_TRUE(program.waitForStarted());
    }

    QByteArray xdotool(const QStringList &arguments)
    {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY"_qs, m_display);
        tool.setProcessEnvironment(env);
        tool.start("xdotool"_qs, arguments);
        tool.waitForFinished();
        return tool.readAllStandardOutput();
    }
    // The first shown window whose title matches, empty when none (yet).
    QByteArray window(const QString &title)
    {
        return xdotool({"search"_qs, "--onlyvisible"_qs, "--name"_qs, title}).split('\n').value(0);
    }
    QByteArray waitForWindow(const QString &title)
    {
        QByteArray id;
        [[maybe_unused]] const bool found = QTest::qWaitFor([&] { return !(id = window(title)).isEmpty() || program.state() == QProcess::NotRunning; },
                        30000);
        return id;
    }

    // Ended within the time the desktop gives at logout, with status 0.
    void expectEndedWithStatusZero()
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, 5000))
            << "still running";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << program.readAllStandardError().constData();
        EXPECT_EQ(program.exitCode(), 0);
    }

    StandInServer server;
    QProcess program;

private:
    QProcess m_x;
    QString m_display;
};

TEST_F(ClosingOnXTest, CloseWithTheWebErrorBoxUpEndsTheProgram)
{
    server.setFault(onVersionPage(StandInFault::Status, 404));
    start();
    // The main window first: until its caption is set it too is titled
    // "TavikRepView", as the box is.
    const QByteArray main = waitForWindow("^TavikRepView .*Version"_qs);
    ASSERT_FALSE(main.isEmpty()) << program.readAllStandardError().constData();
    ASSERT_FALSE(waitForWindow("^TavikRepView$"_qs).isEmpty())
        << "the \"Web error\" box; the program: " << program.readAllStandardError().constData();
    // The "Close" button, at 408,0 and 49 x 17.
    xdotool({"mousemove"_qs, "--window"_qs, QString::fromLatin1(main), "432"_qs, "8"_qs, "click"_qs, "1"_qs});
    expectEndedWithStatusZero();
}

TEST_F(ClosingOnXTest, SigtermWhileTheVersionPageTricklesInEndsTheProgram)
{
#if !defined(Q_OS_UNIX)
    GTEST_SKIP() << "Unix signals";
#else
    server.setFault(onVersionPage(StandInFault::Drip, 200));
    start();
    const auto versionAsked = [&] {
        for (const StandInRequest &r : server.requests())
            if (r.target.startsWith("/web/"))
                return true;
        return false;
    };
    ASSERT_TRUE(QTest::qWaitFor(versionAsked, 30000)) << program.readAllStandardError().constData();
    ASSERT_EQ(program.state(), QProcess::Running);
    ::kill(pid_t(program.processId()), SIGTERM);
    expectEndedWithStatusZero();
#endif
}
