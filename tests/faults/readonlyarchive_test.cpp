// A report archive the program cannot write to (also when the tests run as
// root: see ReadOnlyFolder, which takes away the write permission of any
// path). The history files are written as ever, the fault is told once, and
// once the archive is writable again the next pass stores what was missed.
#include "readonlyfolder.h"

#include "../formfixture.h"

#include "archive/archivereader.h"
#include "archive/reportarchive.h"
#include "base/filenames.h"
#include "base/textlines.h"

#include <limits>

namespace {

QString reception(const QString &receiver, qint64 seconds)
{
    return QStringLiteral("<receptionReport receiverCallsign=\"%1\" receiverLocator=\"JO62qm\" "
                          "senderCallsign=\"G4XYZ\" frequency=\"14074000\" flowStartSeconds=\"%2\" mode=\"FT8\" "
                          "receiverDXCC=\"Fed. Rep. of Germany\" sNR=\"-5\" />")
        .arg(receiver)
        .arg(seconds);
}

qint64 archivedReports(const QString &fileName)
{
    return openArchiveReader(fileName)
        ->reach({std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()})
        .total.reports;
}

} // namespace

class ReadOnlyArchiveTest : public FormTest
{
protected:
    TForm1 &started()
    {
        writeBytes(files::kCallsignIni, "MyCall=G4XYZ\r\n");
        TForm1 &f = create();
        f.ReadCallsign();
        f.openArchive();
        return f;
    }

    // One answer with reports of its own, as the tick folds it in.
    void pass(const QStringList &receivers)
    {
        QStringList lines{"<receptionReports>"_qs};
        for (const QString &r : receivers)
            lines << reception(r, 1796601600 + 60 * m_answers);
        lines << "</receptionReports>"_qs;
        ++m_answers;
        form->state.ResponseLines.setLines(lines);
        form->ProcessResponse();
        form->archive().waitForIdle();
        QCoreApplication::sendPostedEvents();
    }

    static QStringList historyLines()
    {
        TextLines history;
        history.loadFromFile(files::kReports);
        return history.lines();
    }

private:
    int m_answers = 0;
};

TEST_F(ReadOnlyArchiveTest, TheHistoryIsWrittenTheFaultToldOnceAndTheNextPassCatchesUp)
{
    started();
    pass({"DL1AA"_qs, "DL1AB"_qs});
    form.reset(); // as at the end of a run: the archive is closed
    ASSERT_EQ(archivedReports(path(files::kArchive)), 2);
    {
        ReadOnlyFolder readOnly(path(files::kArchive));
        if (QFile(files::kArchive).open(QIODevice::WriteOnly | QIODevice::Append))
            GTEST_SKIP() << "the archive cannot be made read-only here";

        // Started while the archive is read-only (its worker cannot override that either).
        started();
        pass({"K1AA"_qs, "K1AB"_qs, "K1AC"_qs});
        pass({"VK2AA"_qs});
        EXPECT_EQ(historyLines().size(), 6);
        ASSERT_EQ(dialogs.size(), 1u) << dialogTexts().join(u'|').toStdString();
        EXPECT_EQ(dialogs.front().kind, Dialogs::Kind::Message);
        EXPECT_TRUE(dialogs.front().text.contains("read-only"_qs)) << dialogs.front().text.toStdString();
        EXPECT_EQ(readBytes(files::kLog).count("Archive error: "), 1);
    }
    EXPECT_EQ(archivedReports(path(files::kArchive)), 2);

    // Writable again: the next pass stores its own reports and the missed ones.
    pass({"ZL1AA"_qs});
    EXPECT_EQ(historyLines().size(), 7);
    EXPECT_EQ(archivedReports(path(files::kArchive)), 7);
    EXPECT_EQ(dialogs.size(), 1u);
}
