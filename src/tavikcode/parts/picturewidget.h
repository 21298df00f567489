#pragma once

#include <QPixmap>
#include <QPointF>
#include <QString>
#include <QWidget>

// A widget painted from a picture of itself, kept at the screen's pixel ratio
// (crisp on a high-density screen) and drawn anew only when its content
// changed (invalidatePicture), its size changed or it moved to a screen of
// another ratio; every other paint copies the picture. Its tooltip is the
// text at the point hovered.
class PictureWidget : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    // The tooltip text at a point of the widget; empty: no tooltip there.
    virtual QString textAt(QPointF position) const = 0;

protected:
    // Draws the content onto a fresh picture filled with the window colour.
    virtual void drawPicture(QPainter &painter) = 0;

    void invalidatePicture();
    bool pictureValid() const { return m_valid; }

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    QPixmap m_picture;
    bool m_valid = false;
};
