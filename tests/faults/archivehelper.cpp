// tavik_archive_helper FILE FIRST: opens the report archive FILE as the
// program does and stores the passes of archivepasses.h from pass FIRST on,
// one after the other, until it is killed. Before each store it prints
// "storing N", once it is committed "stored N".
#include "archivepasses.h"

#include "archive/reportarchive.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: tavik_archive_helper FILE FIRST\n", stderr);
        return 2;
    }
    ReportArchive archive;
    // Told from the worker thread: there is no event loop here.
    QObject::connect(&archive, &ReportArchive::failed, [](const QString &message) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    });
    archive.open({QString::fromLocal8Bit(argv[1]), {}, QDateTime::currentDateTimeUtc()});
    archive.waitForIdle();
    for (int n = std::atoi(argv[2]);; ++n) {
        ArchivePass pass{archivePassLines(n), {}, 0, QDateTime::currentDateTimeUtc()};
        std::printf("storing %d\n", n);
        std::fflush(stdout);
        archive.store(std::move(pass));
        archive.waitForIdle();
        std::printf("stored %d\n", n);
        std::fflush(stdout);
    }
}
