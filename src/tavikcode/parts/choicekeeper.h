#pragma once

#include <QString>

#include <functional>

class QWidget;
class SettingsStore;

// Keeps a window's choices in a section of the settings store. A store that
// cannot be written is told once (to tell), not at every choice, until a
// write succeeds again.
class ChoiceKeeper
{
public:
    ChoiceKeeper(SettingsStore *store, QString section, std::function<void(const QString &)> tell);

    void keep(const QString &ident, const QString &value);

    // The window's position with its frame and its size without, under the
    // four values keptPlacement reads back.
    void keepPlacement(const QWidget &window, const QString &left, const QString &top, const QString &width,
                       const QString &height);

private:
    SettingsStore *m_store;
    QString m_section;
    std::function<void(const QString &)> m_tell;
    QString m_lastError;
};
