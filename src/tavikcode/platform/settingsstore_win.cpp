// The registry store: HKEY_CURRENT_USER\Software\<section>, every value REG_SZ.
#include "shell/settingsstore.h"

#ifdef Q_OS_WIN

#include "tavikerror.h"

#include <QSettings>

namespace {

class RegistrySettingsStore final : public SettingsStore
{
public:
    RegistrySettingsStore() : m_software(QStringLiteral("HKEY_CURRENT_USER\\Software"), QSettings::NativeFormat) {}

    std::optional<QString> value(const QString &section, const QString &ident) const override
    {
        const QString key = section + u'/' + ident;
        if (!m_software.contains(key))
            return std::nullopt;
        const QVariant v = m_software.value(key);
        // REG_SZ and REG_EXPAND_SZ arrive as strings; DWORD, binary and
        // multi-string values do not.
        if (v.typeId() != QMetaType::QString)
            throw TavikError(QStringLiteral("Invalid data type for '%1'").arg(ident));
        return v.toString();
    }

    void setValue(const QString &section, const QString &ident, const QString &text) override
    {
        m_software.setValue(section + u'/' + ident, text);
        m_software.sync();
        if (m_software.status() != QSettings::NoError)
            throw TavikError(QStringLiteral("Failed to set data for '%1'").arg(ident));
    }

    void deleteValue(const QString &section, const QString &ident) override
    {
        m_software.remove(section + u'/' + ident);
        m_software.sync();
    }

private:
    mutable QSettings m_software;
};

} // namespace

std::unique_ptr<SettingsStore> openPlatformSettingsStore()
{
    return std::make_unique<RegistrySettingsStore>();
}

#endif
