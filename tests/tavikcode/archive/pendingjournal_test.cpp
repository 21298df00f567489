#include "archive/pendingjournal.h"

#include "../../testsupport.h"

namespace {

ArchivedReport awkward(qint64 seconds)
{
    ArchivedReport r;
    r.flowStartSeconds = seconds;
    r.sender = "G4XYZ"_qs;
    r.receiver = "DL1\tA\\B\r\nC"_qs; // every character the format escapes
    r.locator = "JO62qm45ab"_qs;
    r.frequency = seconds % 2 ? std::optional<qint64>(14074123) : std::nullopt;
    r.band = r.frequency ? "20m"_qs : QString();
    r.mode = "FT8"_qs;
    r.snr = seconds % 2 ? std::optional<int>(-12) : std::nullopt;
    r.snrText = r.snr ? "-12"_qs : "n/a"_qs;
    r.dxcc = "Korea, Republic of \\t ÄÖ"_qs;
    r.storedAt = seconds + 300;
    r.reference = seconds == 3; // a reference station's: an F line
    return r;
}

bool same(const ArchivedReport &a, const ArchivedReport &b)
{
    return a.flowStartSeconds == b.flowStartSeconds && a.sender == b.sender && a.receiver == b.receiver
        && a.locator == b.locator && a.frequency == b.frequency && a.band == b.band && a.mode == b.mode
        && a.snr == b.snr && a.snrText == b.snrText && a.dxcc == b.dxcc && a.storedAt == b.storedAt
        && a.reference == b.reference;
}

} // namespace

class PendingJournalTest : public InTempFolder
{
protected:
    PendingJournal journal{PendingJournal::besideArchive(path("TavikArchive.sqlite"_qs))};
};

TEST_F(PendingJournalTest, KeepsEveryFieldAndAddsToWhatItHolds)
{
    EXPECT_EQ(journal.fileName(), path("TavikArchive-pending.txt"_qs));
    EXPECT_EQ(journal.append({awkward(1), awkward(2)}, {{"K1JT"_qs, "FN20\t"_qs, 7}}), journal.fileName());
    EXPECT_EQ(journal.append({awkward(3)}, {}), path("TavikArchive-pending-2.txt"_qs));
    QList<ArchivedReport> reports;
    QList<ReceiverSighting> receivers;
    int chunks = 0;
    journal.read(2, [&](const QList<ArchivedReport> &r, const QList<ReceiverSighting> &s) {
        EXPECT_LE(r.size() + s.size(), 2);
        reports += r;
        receivers += s;
        ++chunks;
    });
    EXPECT_EQ(chunks, 2);
    ASSERT_EQ(reports.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(same(reports[i], awkward(i + 1))) << i;
    ASSERT_EQ(receivers.size(), 1);
    EXPECT_EQ(receivers[0].locator, "FN20\t"_qs);
    EXPECT_EQ(receivers[0].seenAt, 7);
    EXPECT_TRUE(readBytes(journal.fileName()).endsWith("end\t3\r\n"));
    EXPECT_EQ(readBytes(path("TavikArchive-pending-2.txt"_qs)).count('\n'), 3);
}

// A transmission waits beside the reports and reads back whole; the
// reports' reading passes it over.
TEST_F(PendingJournalTest, TransmissionsReadBackApart)
{
    const QDateTime start = QDateTime::fromMSecsSinceEpoch(1'796'601'600'250, Qt::UTC);
    const Transmission t{start, start.addMSecs(12'640), 14'074'000, "20m"_qs, "F\tT8"_qs, 1500};
    journal.append({awkward(1)}, {}, {t});
    qsizetype reports = 0;
    journal.read(10, [&](const QList<ArchivedReport> &r, const QList<ReceiverSighting> &) { reports += r.size(); });
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(journal.transmissions(), QList<Transmission>{t});
}

TEST_F(PendingJournalTest, AFileThatDoesNotReadBackIsDamage)
{
    const QByteArray good = "TavikArchive-pending 1\r\nS\tK1JT\tFN20\t7\r\nend\t1\r\n";
    const struct
    {
        const char *what;
        QByteArray bytes;
    } cases[] = {
        {"another first line", "TavikArchive-pending 4\r\nend\t0\r\n"},
        {"a transmission cut short", "TavikArchive-pending 3\r\nT\t1000\t2000\t14074000\t20m\tFT8\r\nend\t1\r\n"},
        {"no end line", "TavikArchive-pending 1\r\nS\tK1JT\tFN20\t7\r\n"},
        {"another count", "TavikArchive-pending 1\r\nS\tK1JT\tFN20\t7\r\nend\t2\r\n"},
        {"a field missing", "TavikArchive-pending 1\r\nS\tK1JT\t7\r\nend\t1\r\n"},
        {"a number that is none", "TavikArchive-pending 1\r\nS\tK1JT\tFN20\t7x\r\nend\t1\r\n"},
        {"a stray backslash", "TavikArchive-pending 1\r\nS\tK1\\JT\tFN20\t7\r\nend\t1\r\n"},
        {"a line after the end", good + "S\tK1JT\tFN20\t7\r\n"},
        {"empty", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(journal.fileName(), c.bytes);
        EXPECT_THROW(journal.read(10, [](const auto &, const auto &) {}), JournalDamage);
        EXPECT_EQ(readBytes(journal.fileName()), c.bytes);
    }
    writeBytes(journal.fileName(), good);
    EXPECT_NO_THROW(journal.read(10, [](const auto &, const auto &) {}));
}

TEST_F(PendingJournalTest, SegmentsReadInTheirOrderAndADamagedOneIsPassedOver)
{
    journal.append({awkward(1)}, {});
    const QString second = journal.append({awkward(2)}, {});
    journal.append({awkward(4)}, {});
    writeBytes(path("TavikArchive-pending-12.txt"_qs), readBytes(journal.fileName())); // after -3, not after -1
    writeBytes(second, "TavikArchive-pending 2\r\nR\t1\r\n");
    writeBytes(path("TavikArchive-pending-x.txt"_qs), "not a segment");
    QList<qint64> times;
    QStringList damaged;
    journal.read(
        10,
        [&](const QList<ArchivedReport> &reports, const auto &) {
            for (const ArchivedReport &r : reports)
                times << r.flowStartSeconds;
        },
        [&](const QString &segment, const QString &) { damaged << segment; });
    EXPECT_EQ(times, (QList<qint64>{1, 4, 1}));
    EXPECT_EQ(damaged, QStringList{second});
    EXPECT_EQ(journal.segments().size(), 4);
    journal.remove();
    EXPECT_TRUE(journal.segments().isEmpty());
    EXPECT_TRUE(QFile::exists(path("TavikArchive-pending-x.txt"_qs)));
}
