#include "platform/autostart.h"

#include "../../testsupport.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

// The autostart entry goes where XDG_CONFIG_HOME (else HOME) says: here a
// temporary folder.
class AutostartTest : public InTempFolder
{
protected:
    void SetUp() override
    {
        InTempFolder::SetUp();
        m_home = qgetenv("HOME");
        m_config = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", path("home"_qs).toUtf8());
        qputenv("XDG_CONFIG_HOME", path("config"_qs).toUtf8());
    }
    void TearDown() override
    {
        restore("HOME", m_home);
        restore("XDG_CONFIG_HOME", m_config);
        InTempFolder::TearDown();
    }
    static void restore(const char *name, const QByteArray &value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

private:
    QByteArray m_home, m_config;
};

TEST_F(AutostartTest, TheEntryIsValidStartsTheProgramInItsDataFolderAndGoesWhenSwitchedOff)
{
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate"_qs);
    const QString entry = path("config/autostart/TavikRepView.desktop"_qs);
    EXPECT_EQ(autostartEntryPath(), entry);
    EXPECT_FALSE(autostartEnabled());

    // Blanks, quotes, dollars, backslashes and percent signs in the program's path.
    const struct
    {
        QString program, exec;
    } cases[] = {
        {"/usr/bin/TavikRepView"_qs, "Exec=/usr/bin/TavikRepView /DATAFOLDER"_qs},
        {"/opt/Tavik Rep View/TavikRepView"_qs, "Exec=\"/opt/Tavik Rep View/TavikRepView\" /DATAFOLDER"_qs},
        {"/opt/a$b\\c\"d%e/TavikRepView"_qs, "Exec=\"/opt/a\\\\$b\\\\\\\\c\\\\\"d%%e/TavikRepView\" /DATAFOLDER"_qs},
    };
    for (const auto &c : cases) {
        setAutostart(true, c.program);
        ASSERT_TRUE(autostartEnabled());
        const QString text = QString::fromUtf8(readBytes(entry));
        EXPECT_TRUE(text.split(u'\n').contains(c.exec)) << text.toStdString();
        if (validator.isEmpty())
            continue;
        QProcess validate;
        validate.start(validator, {entry});
        ASSERT_TRUE(validate.waitForFinished(30000));
        EXPECT_EQ(validate.exitCode(), 0) << validate.readAll().toStdString();
        EXPECT_EQ(validate.readAllStandardOutput() + validate.readAllStandardError(), QByteArray()) << c.program.toStdString();
    }

    setAutostart(false, {});
    EXPECT_FALSE(QFileInfo::exists(entry));
    EXPECT_FALSE(autostartEnabled());
    setAutostart(false, {}); // already off

    // A relative XDG_CONFIG_HOME counts as none.
    qputenv("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(autostartEntryPath(), path("home/.config/autostart/TavikRepView.desktop"_qs));
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is missing (scripts/install-deps.sh installs desktop-file-utils): "
                        "the entry's text was not validated";
}

// The desktop's own switch (GNOME's "Startup Applications", an edited entry)
// leaves the file in place: it reads off, and switching on writes it enabled.
TEST_F(AutostartTest, AnEntryTheDesktopSwitchedOffReadsOffUntilSwitchedOn)
{
    const QString entry = path("config/autostart/TavikRepView.desktop"_qs);
    const struct
    {
        QByteArray line;
        bool enabled;
    } cases[] = {
        {"Hidden=true", false},
        {"X-GNOME-Autostart-enabled=false", false},
        {"X-GNOME-Autostart-enabled = false", false},
        {"Hidden=false", true},
        {"X-GNOME-Autostart-enabled=true", true},
    };
    for (const auto &c : cases) {
        setAutostart(true, "/usr/bin/TavikRepView"_qs);
        QByteArray text = readBytes(entry).replace("X-GNOME-Autostart-enabled=true\n", "");
        writeBytes(entry, text + c.line + '\n');
        EXPECT_EQ(autostartEnabled(), c.enabled) << c.line.constData();
        // Another group's key is not the entry's.
        writeBytes(entry, text + "[Desktop Action Other]\n" + c.line + '\n');
        EXPECT_TRUE(autostartEnabled()) << c.line.constData();
    }
    writeBytes(entry, "[Desktop Entry]\nHidden=true\n");
    ASSERT_FALSE(autostartEnabled());
    setAutostart(true, "/usr/bin/TavikRepView"_qs);
    EXPECT_TRUE(autostartEnabled());
    EXPECT_TRUE(readBytes(entry).contains("\nX-GNOME-Autostart-enabled=true\n"));
}
