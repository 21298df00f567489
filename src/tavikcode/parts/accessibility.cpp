#include "accessibility.h"

#include "picturewidget.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QPointer>

#include <vector>

namespace {

// One item of a picture; it has no object of its own and lives in
// QAccessible's cache, outliving the widget harmlessly (then invalid).
class PictureItemAccessible : public QAccessibleInterface
{
public:
    PictureItemAccessible(PictureWidget *widget, qsizetype item) : m_widget(widget), m_item(item) {}

    bool isValid() const override { return m_widget && m_item < m_widget->itemCount(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_widget ? m_widget->window()->windowHandle() : nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_widget.data()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return isValid() && t == QAccessible::Name ? m_widget->itemText(m_item) : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect at = m_widget->itemRect(m_item).toAlignedRect();
        return at.isEmpty() ? QRect() : QRect(m_widget->mapToGlobal(at.topLeft()), at.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.focusable = true;
        s.selectable = true;
        s.invisible = !m_widget->isVisible();
        const bool current = m_widget->currentItem() == m_item;
        s.selected = current;
        s.focused = current && m_widget->hasFocus();
        return s;
    }

private:
    QPointer<PictureWidget> m_widget;
    qsizetype m_item;
};

class PictureAccessible : public QAccessibleWidget
{
public:
    explicit PictureAccessible(PictureWidget *widget) : QAccessibleWidget(widget, QAccessible::Chart) {}

    PictureWidget *picture() const { return static_cast<PictureWidget *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Description)
            return picture()->summary();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return int(picture()->itemCount()); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (size_t(index) >= m_items.size())
            m_items.resize(size_t(index) + 1, 0);
        QAccessible::Id &id = m_items[size_t(index)];
        if (id == 0)
            id = QAccessible::registerAccessibleInterface(new PictureItemAccessible(picture(), index));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (size_t i = 0; i < m_items.size() && i < size_t(childCount()); ++i) {
            if (m_items[i] != 0 && QAccessible::accessibleInterface(m_items[i]) == child)
                return int(i);
        }
        return -1;
    }
    QAccessibleInterface *focusChild() const override
    {
        return picture()->hasFocus() && picture()->currentItem() >= 0 ? child(int(picture()->currentItem()))
                                                                       : nullptr;
    }

private:
    mutable std::vector<QAccessible::Id> m_items;
};

const char *const kWindowProperty = "tavikAccessibleWindow";

QAccessibleInterface *pictureFactory(const QString &, QObject *object)
{
    if (auto *widget = qobject_cast<PictureWidget *>(object))
        return new PictureAccessible(widget);
    if (object && object->isWidgetType() && object->property(kWindowProperty).toBool())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

void installPictureAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(pictureFactory);
}

void exposeAsWindow(QWidget *window)
{
    installPictureAccessibility();
    window->setProperty(kWindowProperty, true);
}

QLabel *labelFor(const QString &caption, QWidget *input)
{
    auto *label = new QLabel(caption, input->parentWidget());
    label->setTextFormat(Qt::PlainText);
    label->setBuddy(input);
    QString name = caption.trimmed();
    if (name.endsWith(u':'))
        name.chop(1);
    input->setAccessibleName(name);
    return label;
}
