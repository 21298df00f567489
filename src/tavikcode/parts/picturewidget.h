#pragma once

#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>

// A widget painted from a picture of itself, kept at the screen's pixel ratio
// (crisp on a high-density screen) and drawn anew only when its content
// changed (invalidatePicture), its size changed or it moved to a screen of
// another ratio; every other paint copies the picture. Its tooltip is the
// text at the point hovered.
//
// What it draws is also a list of items (bands, receivers, sectors, cells)
// that the arrow keys step through with a visible highlight, and that
// assistive technology reads (see pictureaccessible.h) with a summary of the
// whole picture as its description.
class PictureWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PictureWidget(QWidget *parent = nullptr);

    // The tooltip text at a point of the widget; empty: no tooltip there.
    virtual QString textAt(QPointF position) const = 0;

    // What the picture shows, in a sentence or two.
    virtual QString summary() const = 0;
    // Its items, each with a plain text and where it is drawn (empty: nowhere).
    virtual qsizetype itemCount() const = 0;
    virtual QString itemText(qsizetype item) const = 0;
    virtual QRectF itemRect(qsizetype item) const = 0;
    // Items in a row of a grid: Up and Down step by this many.
    virtual int itemColumns() const { return 1; }

    // The item the keyboard is on; -1: none.
    qsizetype currentItem() const { return m_current; }
    void setCurrentItem(qsizetype item);

protected:
    // Draws the content onto a fresh picture filled with the window colour.
    virtual void drawPicture(QPainter &painter) = 0;

    void invalidatePicture();
    // The data changed: draws anew and tells assistive technology.
    void contentChanged();
    bool pictureValid() const { return m_valid; }

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool event(QEvent *event) override;

private:
    QPixmap m_picture;
    bool m_valid = false;
    qsizetype m_current = -1;
};
