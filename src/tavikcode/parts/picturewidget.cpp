#include "picturewidget.h"

#include "widgets.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

void PictureWidget::invalidatePicture()
{
    m_valid = false;
    update();
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
}

void PictureWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_valid = false;
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
