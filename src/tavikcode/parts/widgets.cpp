#include "widgets.h"

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

ColourBar::ColourBar(QWidget *parent) : QWidget(parent), m_background(palette().color(QPalette::Base))
{
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
