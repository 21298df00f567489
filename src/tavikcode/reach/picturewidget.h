#pragma once

#include <QPixmap>
#include <QWidget>

// A widget painted from a picture of itself, kept at the screen's pixel ratio
// (crisp on a high-density screen) and drawn anew only when its content
// changed (invalidatePicture), its size changed or it moved to a screen of
// another ratio; every other paint copies the picture.
class PictureWidget : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

protected:
    // Draws the content onto a fresh picture filled with the window colour.
    virtual void drawPicture(QPainter &painter) = 0;

    void invalidatePicture();
    bool pictureValid() const { return m_valid; }

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QPixmap m_picture;
    bool m_valid = false;
};
