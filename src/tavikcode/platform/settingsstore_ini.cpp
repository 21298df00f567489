#include "settingsstore.h"
#include "base/tavikerror.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

// QSettings keeps the first error it met for as long as the object lives, so
// every operation takes an object of its own: each write is judged on its
// own, and one that failed while the file was briefly unwritable does not
// fail every later one. (Qt shares the parsed file between the objects and
// writes a failed change again with the next one.)
class IniSettingsStore final : public SettingsStore
{
public:
    explicit IniSettingsStore(const QString &fileName) : m_fileName(fileName) {}

    std::optional<QString> value(const QString &section, const QString &ident) const override
    {
        const QSettings settings(m_fileName, QSettings::IniFormat);
        const QString key = section + u'/' + ident;
        if (!settings.contains(key))
            return std::nullopt;
        const QVariant v = settings.value(key);
        if (v.typeId() != QMetaType::QString && v.typeId() != QMetaType::QByteArray)
            throw TavikError(QStringLiteral("Invalid data type for '%1'").arg(ident));
        return v.toString();
    }

    void setValue(const QString &section, const QString &ident, const QString &text) override
    {
        const QFileInfo file(m_fileName);
        if (!QDir().mkpath(file.absolutePath()))
            throw TavikError(QStringLiteral("Failed to create key %1").arg(section));
        QSettings settings(m_fileName, QSettings::IniFormat);
        settings.setValue(section + u'/' + ident, text);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            throw TavikError(QStringLiteral("Failed to set data for '%1'").arg(ident));
    }

    void deleteValue(const QString &section, const QString &ident) override
    {
        QSettings settings(m_fileName, QSettings::IniFormat);
        settings.remove(section + u'/' + ident);
        settings.sync();
    }

private:
    QString m_fileName;
};

} // namespace

std::unique_ptr<SettingsStore> openIniSettingsStore(const QString &fileName)
{
    return std::make_unique<IniSettingsStore>(fileName);
}

#ifndef Q_OS_WIN
std::unique_ptr<SettingsStore> openPlatformSettingsStore()
{
    QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.config");
    return openIniSettingsStore(folder + QStringLiteral("/Orlix.ini"));
}
#endif
