#include "picturewidget.h"

#include "widgets.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QToolTip>

#include <algorithm>

PictureWidget::PictureWidget(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void PictureWidget::invalidatePicture()
{
    m_valid = false;
    update();
}

void PictureWidget::contentChanged()
{
    invalidatePicture();
    const qsizetype count = itemCount();
    if (m_current >= count)
        m_current = count - 1;
    QAccessibleEvent description(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&description);
    // The items are others now.
    QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&reorder);
}

void PictureWidget::setCurrentItem(qsizetype item)
{
    const qsizetype count = itemCount();
    if (count == 0)
        return;
    item = std::clamp<qsizetype>(item, 0, count - 1);
    if (item == m_current)
        return;
    m_current = item;
    update();
    if (hasFocus()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(int(item));
        QAccessible::updateAccessibility(&focus);
        // What a screen reader hears, shown to the eye as well.
        const QRectF at = itemRect(item);
        const QPoint where = at.isEmpty() ? rect().center() : at.bottomRight().toPoint();
        QToolTip::showText(mapToGlobal(where), plainTip(itemText(item)), this);
    }
}

void PictureWidget::paintEvent(QPaintEvent *)
{
    const qreal ratio = devicePixelRatioF();
    if (!m_valid || m_picture.devicePixelRatio() != ratio || m_picture.deviceIndependentSize() != QSizeF(size())) {
        m_picture = QPixmap((QSizeF(size()) * ratio).toSize());
        m_picture.setDevicePixelRatio(ratio);
        m_picture.fill(palette().color(QPalette::Window));
        QPainter painter(&m_picture);
        m_valid = true;
        drawPicture(painter);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
    if (!hasFocus())
        return;
    // The keyboard's place: a frame round the widget, a ring round its item.
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.rect = rect().adjusted(1, 1, -1, -1);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
    if (m_current >= 0 && m_current < itemCount()) {
        const QRectF at = itemRect(m_current);
        if (!at.isEmpty()) {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(Qt::white, 4));
            painter.drawRect(at.adjusted(-2, -2, 2, 2));
            painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
            painter.drawRect(at.adjusted(-2, -2, 2, 2));
        }
    }
}

void PictureWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_valid = false;
}

void PictureWidget::keyPressEvent(QKeyEvent *event)
{
    const qsizetype count = itemCount();
    const qsizetype at = m_current < 0 ? -1 : m_current;
    qsizetype to = at;
    switch (event->key()) {
    case Qt::Key_Left: to = at - 1; break;
    case Qt::Key_Right: to = at + 1; break;
    case Qt::Key_Up: to = at - itemColumns(); break;
    case Qt::Key_Down: to = at + itemColumns(); break;
    case Qt::Key_Home: to = 0; break;
    case Qt::Key_End: to = count - 1; break;
    default: QWidget::keyPressEvent(event); return;
    }
    if (count > 0)
        setCurrentItem(at < 0 ? 0 : std::clamp<qsizetype>(to, 0, count - 1));
    event->accept();
}

void PictureWidget::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void PictureWidget::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

bool PictureWidget::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString text = textAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), plainTip(text), this);
        return true;
    }
    return QWidget::event(event);
}
