#include "shell/settingsstore.h"
#include "tavikerror.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

class IniSettingsStore final : public SettingsStore
{
public:
    explicit IniSettingsStore(const QString &fileName) : m_settings(fileName, QSettings::IniFormat) {}

    std::optional<QString> value(const QString &section, const QString &ident) const override
    {
        const QString key = section + u'/' + ident;
        if (!m_settings.contains(key))
            return std::nullopt;
        const QVariant v = m_settings.value(key);
        if (v.typeId() != QMetaType::QString && v.typeId() != QMetaType::QByteArray)
            throw TavikError(QStringLiteral("Invalid data type for '%1'").arg(ident));
        return v.toString();
    }

    void setValue(const QString &section, const QString &ident, const QString &text) override
    {
        const QFileInfo file(m_settings.fileName());
        if (!QDir().mkpath(file.absolutePath()))
            throw TavikError(QStringLiteral("Failed to create key %1").arg(section));
        m_settings.setValue(section + u'/' + ident, text);
        m_settings.sync();
        if (m_settings.status() != QSettings::NoError)
            throw TavikError(QStringLiteral("Failed to set data for '%1'").arg(ident));
    }

    void deleteValue(const QString &section, const QString &ident) override
    {
        m_settings.remove(section + u'/' + ident);
        m_settings.sync();
    }

private:
    mutable QSettings m_settings;
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
