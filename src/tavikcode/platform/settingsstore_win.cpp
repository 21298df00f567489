// The registry store: HKEY_CURRENT_USER\Software\<section>, every value REG_SZ.
#include "settingsstore.h"

#ifdef Q_OS_WIN

#include "base/tavikerror.h"

#include <QSettings>

namespace {

// QSettings keeps the first error it met for as long as the object lives, so
// every operation opens the key anew and each write is judged on its own.
QString softwareKey()
{
    return QStringLiteral("HKEY_CURRENT_USER\\Software");
}

class RegistrySettingsStore final : public SettingsStore
{
public:
    std::optional<QString> value(const QString &section, const QString &ident) const override
    {
        const QSettings software(softwareKey(), QSettings::NativeFormat);
        const QString key = section + u'/' + ident;
        if (!software.contains(key))
            return std::nullopt;
        const QVariant v = software.value(key);
        // REG_SZ and REG_EXPAND_SZ arrive as strings; DWORD, binary and
        // multi-string values do not.
        if (v.typeId() != QMetaType::QString)
            throw TavikError(QStringLiteral("Invalid data type for '%1'").arg(ident));
        return v.toString();
    }

    void setValue(const QString &section, const QString &ident, const QString &text) override
    {
        QSettings software(softwareKey(), QSettings::NativeFormat);
        software.setValue(section + u'/' + ident, text);
        software.sync();
        if (software.status() != QSettings::NoError)
            throw TavikError(QStringLiteral("Failed to set data for '%1'").arg(ident));
    }

    void deleteValue(const QString &section, const QString &ident) override
    {
        QSettings software(softwareKey(), QSettings::NativeFormat);
        software.remove(section + u'/' + ident);
        software.sync();
    }
};

} // namespace

std::unique_ptr<SettingsStore> openPlatformSettingsStore()
{
    return std::make_unique<RegistrySettingsStore>();
}

#endif
