#include "choicekeeper.h"

#include "platform/settingsstore.h"

#include <QWidget>

#include <exception>

ChoiceKeeper::ChoiceKeeper(SettingsStore *store, QString section, std::function<void(const QString &)> tell)
    : m_store(store), m_section(std::move(section)), m_tell(std::move(tell))
{
}

void ChoiceKeeper::keep(const QString &ident, const QString &value)
{
    try {
        m_store->WriteString(m_section, ident, value);
        m_lastError.clear();
    } catch (const std::exception &e) {
        const QString message = QString::fromUtf8(e.what());
        if (message != m_lastError) {
            m_lastError = message;
            m_tell(message);
        }
    }
}

void ChoiceKeeper::keepPlacement(const QWidget &window, const QString &left, const QString &top,
                                 const QString &width, const QString &height)
{
    keep(left, QString::number(window.x()));
    keep(top, QString::number(window.y()));
    keep(width, QString::number(window.width()));
    keep(height, QString::number(window.height()));
}
