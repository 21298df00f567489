#include "platform/datafolder.h"

#include "../../testsupport.h"

#include <QFileInfo>

namespace datafoldertest {

// Sets HOME and XDG_DATA_HOME for one test and puts them back afterwards.
class DataFolderTest : public InTempFolder
{
protected:
    void SetUp() override
    {
        InTempFolder::SetUp();
        m_home = qgetenv("HOME");
        m_dataHome = qgetenv("XDG_DATA_HOME");
        qputenv("HOME", path(QStringLiteral("home")).toUtf8());
        qunsetenv("XDG_DATA_HOME");
    }
    void TearDown() override
    {
        restore("HOME", m_home);
        restore("XDG_DATA_HOME", m_dataHome);
        InTempFolder::TearDown();
    }

    static void restore(const char *name, const QByteArray &value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    static QString workingFolder() { return QFileInfo(QDir::currentPath()).canonicalFilePath(); }
    static QString canonical(const QString &name) { return QFileInfo(name).canonicalFilePath(); }

private:
    QByteArray m_home;
    QByteArray m_dataHome;
};

} // namespace datafoldertest

using datafoldertest::DataFolderTest;

#ifndef Q_OS_WIN

TEST_F(DataFolderTest, WithoutXdgDataHomeTheFolderIsUnderTheHomeFolder)
{
    for (const char *value : { "", "relative/data" }) {
        qputenv("XDG_DATA_HOME", value);
        EXPECT_EQ(dataFolderPath(), path(QStringLiteral("home/.local/share/TavikRepView"))) << value;
    }
}

TEST_F(DataFolderTest, AMissingFolderIsCreatedAndBecomesTheWorkingFolder)
{
    qputenv("XDG_DATA_HOME", path(QStringLiteral("xdg/data/")).toUtf8());
    EXPECT_EQ(dataFolderPath(), path(QStringLiteral("xdg/data/TavikRepView")));
    ASSERT_FALSE(QFileInfo::exists(path(QStringLiteral("xdg"))));

    EXPECT_EQ(enterDataFolder(), QString());
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("xdg/data/TavikRepView"))).isDir());
    EXPECT_EQ(workingFolder(), canonical(path(QStringLiteral("xdg/data/TavikRepView"))));
}

TEST_F(DataFolderTest, AnExistingFolderKeepsItsFiles)
{
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("home/.local/share/TavikRepView"))));
    writeBytes(path(QStringLiteral("home/.local/share/TavikRepView/TavikRpts.txt")), "a report\r\n");

    EXPECT_EQ(enterDataFolder(), QString());
    EXPECT_EQ(workingFolder(), canonical(path(QStringLiteral("home/.local/share/TavikRepView"))));
    EXPECT_EQ(readBytes(QStringLiteral("TavikRpts.txt")), "a report\r\n");
}

TEST_F(DataFolderTest, AFolderThatCannotBeMadeIsReportedAndTheWorkingFolderStays)
{
    writeBytes(path(QStringLiteral("blocked")), "a file where a folder should be");
    qputenv("XDG_DATA_HOME", path(QStringLiteral("blocked")).toUtf8());
    const QString before = workingFolder();

    EXPECT_EQ(enterDataFolder(), QStringLiteral("Cannot create the data folder ") + path(QStringLiteral("blocked/TavikRepView")));
    EXPECT_EQ(workingFolder(), before);
}

#endif
