// The program ended from outside (shutdown, logout, a service manager,
// Ctrl+C): it closes as "Close" does, with its settings saved and exit
// status 0. The real program, started as the desktop starts it.
#include "../testsupport.h"

#include "base/filenames.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
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
