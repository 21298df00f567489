// A process killed while it stores a large pass in the report archive:
// afterwards the archive holds every report of that pass or none of them,
// and is whole. A helper stores pass after pass, the way the program does,
// and is killed before a store, inside one (stopped by a trigger in the store's
// transaction, its rows written and its pages in the log, not committed) and
// after one. Only the kill before a store may land either side of it.
#include "archivepasses.h"

#include "../testsupport.h"

#include "archive/archivereader.h"
#include "archive/sqlitedb.h"
#include "base/filenames.h"

#include <QElapsedTimer>
#include <QProcess>

namespace {

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
    const QString archive = path(files::kArchive);
    enum When { BeforeAStore, InsideAStore, AfterAStore };
    int passes = 0;
    for (int round = 0; round < 6; ++round) {
        const When when = When(round % 3);
        SCOPED_TRACE(QStringLiteral("round %1, %2 passes stored").arg(round).arg(passes).toStdString());
        QStringList arguments{archive, QString::number(passes)};
        if (when == InsideAStore)
            arguments << QStringLiteral("pause");
        QProcess helper;
        helper.start(QStringLiteral(TAVIK_ARCHIVE_HELPER), arguments);
        ASSERT_TRUE(helper.waitForStarted());
        const int pass = passes;
        const char *const word[] = {"storing ", "inside ", "stored "};
        const QByteArray awaited = word[when] + QByteArray::number(pass) + '\n';
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
        helper.kill(); // SIGKILL
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
        case InsideAStore:
            EXPECT_EQ(whole, pass);
            break;
        case AfterAStore:
            EXPECT_GE(whole, pass + 1);
            break;
        }
        passes = whole;
    }
}
