#include "archivefixture.h"

#include "archive/archivestore.h"

class ArchiveSetAside : public InTempFolder
{
};

// A damaged archive goes aside with its log and index, or stays whole where
// it was: a new archive never opens beside an old log.
TEST_F(ArchiveSetAside, MovesBackWhatItMovedWhenARenameFails)
{
    const QStringList endings = {""_qs, "-wal"_qs, "-shm"_qs};
    const struct
    {
        const char *what;
        QString failing;    // the ending whose rename aside fails
        QString stuck;      // the ending whose move back fails
        QStringList aside;  // what ends up aside
        const char *says;
    } cases[] = {
        {"all moved", "-"_qs, "-"_qs, endings, ""},
        {"the archive", ""_qs, "-"_qs, {}, "cannot be renamed TavikArchive-damaged.sqlite"},
        {"its log", "-wal"_qs, "-"_qs, {}, "its file TavikArchive.sqlite-wal cannot be renamed"},
        {"its index", "-shm"_qs, "-"_qs, {}, "so it was left as it was"},
        {"its index, the archive stuck", "-shm"_qs, ""_qs, {""_qs}, "TavikArchive-damaged.sqlite cannot be moved back"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString file = path(files::kArchive);
        const QString aside = path("TavikArchive-damaged.sqlite"_qs);
        for (const QString &ending : endings) {
            QFile::remove(aside + ending);
            writeBytes(file + ending, ending.toUtf8());
        }
        const auto rename = [&](const QString &from, const QString &to) {
            const bool back = from.startsWith(aside);
            const QString ending = from.mid((back ? aside : file).size());
            if (ending == (back ? c.stuck : c.failing))
                return false;
            return QFile::rename(from, to);
        };
        const QString failure = ArchiveStore::setAside(file, aside, rename);
        if (*c.says == '\0')
            EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
        else
            EXPECT_TRUE(failure.contains(QString::fromUtf8(c.says))) << failure.toStdString();
        for (const QString &ending : endings) {
            const bool isAside = c.aside.contains(ending);
            EXPECT_EQ(readBytes((isAside ? aside : file) + ending), ending.toUtf8()) << ending.toStdString();
            EXPECT_FALSE(QFile::exists((isAside ? file : aside) + ending)) << ending.toStdString();
        }
    }
    // What the last case left, a log without its archive, opens no new archive.
    ArchiveStore store;
    try {
        store.open(path(files::kArchive), true, QDateTime::currentDateTime());
        ADD_FAILURE() << "opened";
    } catch (const TavikError &e) {
        EXPECT_TRUE(e.message().contains("TavikArchive.sqlite-wal is there without it"_qs)) << e.what();
    }
    EXPECT_FALSE(QFile::exists(path(files::kArchive)));
}
