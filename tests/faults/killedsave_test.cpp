// A process killed while it saves a history: afterwards the file is the old
// history or the new one, whole, never a mixture or a stump. A helper saves
// two large histories in turn, the way the program saves every file, and is
// killed with SIGKILL before a save, in the middle of one (while it holds the
// new file open) and after one, at saves picked at random.
#include "savecontent.h"

#include "../testsupport.h"

#include "base/textlines.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>

#if defined(Q_OS_LINUX)
#include <csignal>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace {

QByteArray bytesOf(char which)
{
    TextLines history(TextLines::Unsorted);
    history.setLines(saveContent(which));
    return history.toBytes();
}

#if defined(Q_OS_LINUX)
// Whether the process holds a file of the folder open other than the history
// itself: the new file of a save under way (named or not yet named).
bool savingInto(qint64 pid, const QString &folder, const QString &history)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    const QStringList entries = fds.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System);
    for (const QString &fd : entries) {
        const QString target = QFile::symLinkTarget(fds.filePath(fd));
        if (target.startsWith(folder + u'/') && target != history)
            return true;
    }
    return false;
}
#endif

} // namespace

class KilledSaveTest : public InTempFolder
{
};

TEST_F(KilledSaveTest, LeavesTheOldFileOrTheNewOneWhole)
{
#if !defined(Q_OS_LINUX)
    GTEST_SKIP() << "needs SIGKILL and /proc";
#else
    const QByteArray a = bytesOf('A');
    const QByteArray b = bytesOf('B');
    const QString folder = QDir::currentPath();
    const QString history = path("TavikRpts.txt"_qs);
    writeBytes(history, a);

    enum When { BeforeASave, InTheMiddle, AfterASave };
    QRandomGenerator random(20261207);
    int killedInTheMiddle = 0;
    int sawOld = 0;
    int sawNew = 0;
    for (int round = 0; round < 12; ++round) {
        const When when = When(round % 3);
        const int save = int(random.bounded(3));
        SCOPED_TRACE(QStringLiteral("round %1, save %2").arg(round).arg(save).toStdString());
        QProcess helper;
        helper.start(QStringLiteral(TAVIK_SAVE_HELPER), {history});
        ASSERT_TRUE(helper.waitForStarted());
        const QByteArray awaited = (when == AfterASave ? "saved " : "saving ") + QByteArray::number(save) + '\n';
        QElapsedTimer deadline;
        deadline.start();
        bool ready = false;
        while (!ready && deadline.elapsed() < 30000) {
            if (!helper.canReadLine() && !helper.waitForReadyRead(30000))
                break;
            while (helper.canReadLine() && !ready)
                ready = helper.readLine() == awaited;
        }
        ASSERT_TRUE(ready) << helper.readAllStandardError().constData();
        if (when == InTheMiddle) {
            // As soon as the new file is open.
            while (!savingInto(helper.processId(), folder, history) && deadline.elapsed() < 30000) {
            }
            killedInTheMiddle += savingInto(helper.processId(), folder, history);
        }
        ::kill(pid_t(helper.processId()), SIGKILL);
        ASSERT_TRUE(helper.waitForFinished());
        EXPECT_EQ(helper.exitStatus(), QProcess::CrashExit);

        const QByteArray now = readBytes(history);
        EXPECT_TRUE(now == a || now == b) << now.size() << " bytes, neither history";
        sawOld += now == a;
        sawNew += now == b;
        writeBytes(history, a);
    }
    // The kills did land inside saves, and both outcomes occurred.
    EXPECT_GE(killedInTheMiddle, 1);
    EXPECT_GE(sawOld, 1);
    EXPECT_GE(sawNew, 1);
    RecordProperty("KilledInTheMiddle", killedInTheMiddle);
#endif
}
