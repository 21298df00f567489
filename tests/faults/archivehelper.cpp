// tavik_archive_helper FILE FIRST [pause]: opens the report archive FILE as
// the program does and stores the passes of archivepasses.h from pass FIRST
// on, one after the other, until it is killed. Before each store it prints
// "storing N", once it is committed "stored N". With "pause" the store of
// pass FIRST stops inside its transaction, its rows written and its pages
// flushed to the log, prints "inside N" and waits there to be killed.
#include "archivepasses.h"

#include "archive/archivestore.h"
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
    const int first = std::atoi(argv[2]);
    static std::atomic<int> storing{-1};
    if (argc == 4) {
        ArchiveStore::setInsideStoreHook([first](sqlite3 *db) {
            if (storing != first)
                return;
            // The uncommitted pages go to the log, as a store larger than the cache writes them.
            sqlite3_db_cacheflush(db);
            std::printf("inside %d\n", first);
            std::fflush(stdout);
            for (;;)
                std::this_thread::sleep_for(std::chrono::hours(1));
        });
    }
    ReportArchive archive;
    // Told from the worker thread: there is no event loop here.
    QObject::connect(&archive, &ReportArchive::failed, [](const QString &message) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    });
    archive.open({QString::fromLocal8Bit(argv[1]), {}, QDateTime::currentDateTimeUtc()});
    archive.waitForIdle();
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
