#include "widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAbstractItemView>
#include <QComboBox>
#include <QPainter>
#include <QTextDocument>
#include <QPalette>

ShapeBox::ShapeBox(QWidget *parent) : QWidget(parent) {}

void ShapeBox::setBrushColour(const QColor &colour)
{
    if (colour == m_brush)
        return;
    m_brush = colour;
    update();
}

void ShapeBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(m_brush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

namespace {

// The bar read as a progress bar from 0 to 100, its position as its value.
class ColourBarAccessible final : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit ColourBarAccessible(ColourBar *bar) : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value)
            return QString::number(bar()->position()) + u'%';
        return QAccessibleWidget::text(type);
    }
    QVariant currentValue() const override { return bar()->position(); }
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    ColourBar *bar() const { return static_cast<ColourBar *>(widget()); }
};

// A combo box given an accessible name is read by that name, its current
// item as its value; Qt reads a combo box on Linux by its current item.
class NamedComboAccessible final : public QAccessibleWidget
{
public:
    explicit NamedComboAccessible(QComboBox *combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value)
            return combo()->currentText();
        return QAccessibleWidget::text(type);
    }
    // The list that pops up, as Qt's own combo box has it.
    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == combo()->view() ? 0 : -1;
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString &) override { combo()->showPopup(); }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QComboBox *combo() const { return static_cast<QComboBox *>(widget()); }
};

QAccessibleInterface *speakingInterface(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    // Qt reads a plain widget, top-level ones too, as a client area ("filler").
    if (className == QLatin1StringView("QWidget") && static_cast<QWidget *>(object)->isWindow())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    // The indicators read as labels saying what they show.
    if (className == QLatin1StringView("ShapeBox"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::StaticText);
    if (className == QLatin1StringView("ColourBar"))
        return new ColourBarAccessible(static_cast<ColourBar *>(object));
    if (className == QLatin1StringView("QComboBox")) {
        auto *combo = static_cast<QComboBox *>(object);
        if (!combo->accessibleName().isEmpty())
            return new NamedComboAccessible(combo);
    }
    return nullptr;
}

} // namespace

void installAccessibleInterfaces()
{
    static const bool installed = (QAccessible::installFactory(speakingInterface), true);
    Q_UNUSED(installed);
}

ColourBar::ColourBar(QWidget *parent) : QWidget(parent), m_background(palette().color(QPalette::Base))
{
    installAccessibleInterfaces();
    // No Tab stop; the table view still hands it the focus with setFocus().
    setFocusPolicy(Qt::NoFocus);
}

void ColourBar::setPosition(int position)
{
    position = qBound(0, position, 100);
    emit positionSet(position);
    if (position == m_position)
        return;
    m_position = position;
    update();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, m_position);
        QAccessible::updateAccessibility(&changed);
    }
}

void ColourBar::setBackgroundColour(const QColor &colour)
{
    m_background = colour;
    update();
}

void ColourBar::setBarColour(const QColor &colour)
{
    m_bar = colour;
    update();
}

void ColourBar::setSmooth(bool smooth)
{
    m_smooth = smooth;
    update();
}

void ColourBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_background);
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    const int filled = inner.width() * m_position / 100;
    if (m_smooth) {
        p.fillRect(QRect(inner.left(), inner.top(), filled, inner.height()), m_bar);
    } else {
        const int segment = 8;
        for (int x = 0; x < filled; x += segment)
            p.fillRect(QRect(inner.left() + x, inner.top(), qMin(segment - 2, filled - x), inner.height()), m_bar);
    }
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

QString plainTip(const QString &text)
{
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpacePre);
}
