// tavik_archive_helper FILE FIRST [pause]: opens the report archive FILE as
// the program does and stores the passes of archivepasses.h from pass FIRST
// on, one after the other, until it is killed. Before each store it prints
// "storing N", once it is committed "stored N". With "pause" the store of
// pass FIRST stops inside its transaction, its rows written and its pages
// flushed to the log, prints "inside N" and waits there to be killed: a
// trigger it leaves in FILE calls a function that every connection of this
// process knows, and that stops at the pass's last report.
#include "archivepasses.h"

#include "archive/sqlitedb.h"
#include "archive/reportarchive.h"

#include <QCoreApplication>
#include <QDateTime>

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3 || argc > 4 || (argc == 4 && std::strcmp(argv[3], "pause") != 0)) {
        std::fputs("usage: tavik_archive_helper FILE FIRST [pause]\n", stderr);
        return 2;
    }
    static int first = std::atoi(argv[2]);
    static bool pause = argc == 4;
    static std::atomic<int> storing{-1};
    static int inserted = 0; // the pass FIRST's rows so far, counted on the storing thread
    // Every connection knows the function that the pause's trigger calls.
    const auto addFunction = +[](sqlite3 *db, char **, const sqlite3_api_routines *) {
        const auto insideStore = [](sqlite3_context *context, int, sqlite3_value **) {
            if (!pause || storing != first || ++inserted < kArchivePassReports)
                return;
            // The uncommitted pages go to the log, as a store larger than the cache writes them.
            sqlite3_db_cacheflush(sqlite3_context_db_handle(context));
            std::printf("inside %d\n", first);
            std::fflush(stdout);
            for (;;)
                std::this_thread::sleep_for(std::chrono::hours(1));
        };
        return sqlite3_create_function(db, "tavik_test_fault", 0, SQLITE_UTF8, nullptr, +insideStore, nullptr,
                                       nullptr);
    };
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(addFunction));
    ReportArchive archive;
    // Told from the worker thread: there is no event loop here.
    QObject::connect(&archive, &ReportArchive::failed, [](const QString &message) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    });
    archive.open({QString::fromLocal8Bit(argv[1]), {}, QDateTime::currentDateTimeUtc()});
    archive.waitForIdle();
    if (pause) {
        // Called after each report a store adds: the last of the pass stops it.
        SqliteDb db(QString::fromLocal8Bit(argv[1]), SqliteDb::ReadWrite);
        db.exec("CREATE TRIGGER IF NOT EXISTS inside_store AFTER INSERT ON report "
                "BEGIN SELECT tavik_test_fault(); END");
    }
    for (int n = first;; ++n) {
        ArchivePass pass{archivePassReports(n), {}, 0, QDateTime::currentDateTimeUtc()};
        storing = n;
        std::printf("storing %d\n", n);
        std::fflush(stdout);
        archive.store(std::move(pass));
        archive.waitForIdle();
        std::printf("stored %d\n", n);
        std::fflush(stdout);
    }
}
