// A process killed while it stores a large pass in the report archive:
// afterwards the archive holds every report of that pass or none of them,
// and is whole. A helper stores pass after pass, the way the program does,
// and is killed with SIGKILL before a store, while the store is writing
// (once it has written to a file since it began) and after one.
#include "archivepasses.h"

#include "../testsupport.h"

#include "archive/archivereader.h"
#include "archive/sqlitedb.h"
#include "filenames.h"

#include <QElapsedTimer>
#include <QProcess>

#if defined(Q_OS_LINUX)
#include <csignal>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace {

#if defined(Q_OS_LINUX)
// The bytes the process has written so far, to files and pipes alike.
qint64 bytesWritten(qint64 pid)
{
    QFile io(QStringLiteral("/proc/%1/io").arg(pid));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n')) {
        if (line.startsWith("wchar: "))
            return line.mid(7).toLongLong();
    }
    return -1;
}
#endif

// How many passes the archive holds, each whole, from pass 0 on; -1 when a
// pass is there in part, or one is missing before a later one.
int wholePasses(const QString &fileName, int upTo)
{
    const auto reader = openArchiveReader(fileName);
    int whole = 0;
    for (int n = 0; n <= upTo; ++n) {
        const qint64 from = n * kArchivePassSpan;
        const qint64 count = reader->reach({from, from + kArchivePassSpan}).total.reports;
        if (count != 0 && count != kArchivePassReports)
            return -1;
        if (count == kArchivePassReports) {
            if (whole != n)
                return -1;
            ++whole;
        }
    }
    return whole;
}

} // namespace

class KilledArchiveTest : public InTempFolder
{
};

TEST_F(KilledArchiveTest, LeavesTheArchiveAsBeforeThePassOrAfterItAndWhole)
{
#if !defined(Q_OS_LINUX)
    GTEST_SKIP() << "needs SIGKILL and /proc";
#else
    const QString archive = path(files::kArchive);
    enum When { BeforeAStore, InTheMiddle, AfterAStore };
    int passes = 0;
    int killedWhileWriting = 0;
    int sawBefore = 0;
    int sawAfter = 0;
    for (int round = 0; round < 9; ++round) {
        const When when = When(round % 3);
        SCOPED_TRACE(QStringLiteral("round %1, %2 passes stored").arg(round).arg(passes).toStdString());
        QProcess helper;
        helper.start(QStringLiteral(TAVIK_ARCHIVE_HELPER), {archive, QString::number(passes)});
        ASSERT_TRUE(helper.waitForStarted());
        const int pass = passes;
        const QByteArray awaited = (when == AfterAStore ? "stored " : "storing ") + QByteArray::number(pass) + '\n';
        QElapsedTimer deadline;
        deadline.start();
        bool ready = false;
        while (!ready && deadline.elapsed() < 60000) {
            if (!helper.canReadLine() && !helper.waitForReadyRead(60000))
                break;
            while (helper.canReadLine() && !ready)
                ready = helper.readLine() == awaited;
        }
        ASSERT_TRUE(ready) << helper.readAllStandardError().constData();
        bool wrote = false;
        if (when == InTheMiddle) {
            // As soon as the store has written to the archive: its pages go to
            // the log before the commit, and "stored" comes only after it.
            const qint64 start = bytesWritten(helper.processId());
            while (!wrote && deadline.elapsed() < 60000)
                wrote = bytesWritten(helper.processId()) != start;
        }
        ::kill(pid_t(helper.processId()), SIGKILL);
        ASSERT_TRUE(helper.waitForFinished());
        EXPECT_EQ(helper.exitStatus(), QProcess::CrashExit);

        {
            SqliteDb db(archive, SqliteDb::ReadWrite);
            EXPECT_EQ(db.text("PRAGMA integrity_check"), "ok"_qs);
        }
        const int whole = wholePasses(archive, pass + 2);
        ASSERT_GE(whole, 0) << "a pass stored in part";
        switch (when) {
        case BeforeAStore:
            EXPECT_TRUE(whole == pass || whole == pass + 1) << whole;
            break;
        case InTheMiddle:
            EXPECT_TRUE(whole == pass || whole == pass + 1) << whole;
            sawBefore += whole == pass;
            sawAfter += whole == pass + 1;
            killedWhileWriting += wrote && whole == pass;
            break;
        case AfterAStore:
            EXPECT_GE(whole, pass + 1);
            break;
        }
        passes = whole;
    }
    // Kills did land while a store was writing, and left the archive as it
    // was before that pass.
    EXPECT_GE(killedWhileWriting, 1);
    RecordProperty("KilledWhileWriting", killedWhileWriting);
    RecordProperty("BeforeThePass", sawBefore);
    RecordProperty("AfterThePass", sawAfter);
#endif
}
