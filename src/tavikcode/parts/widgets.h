#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// Network text (callsigns, locators, modes, entity names) for a tooltip:
// Qt reads a tooltip that looks like markup as rich text, so the text goes
// there escaped and shows exactly as it stands, line breaks kept. Labels that
// show such text are set to Qt::PlainText instead.
QString plainTip(const QString &text);

// What screen readers are told of this program's own widgets, of its
// windows (windows, by their titles), and of combo boxes given an accessible
// name (read by it, their item as the value).
// Installed once; safe to call again.
void installAccessibleInterfaces();

// A plain rectangle filled with a brush colour (the connectivity and busy
// indicators).
class ShapeBox : public QWidget
{
    Q_OBJECT

public:
    explicit ShapeBox(QWidget *parent = nullptr);

    QColor brushColour() const { return m_brush; }
    void setBrushColour(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_brush = Qt::white;
};

// A progress bar from 0 to 100 with settable background and bar colours; in
// smooth mode the bar is one continuous block, otherwise it is drawn in
// segments.
class ColourBar : public QWidget
{
    Q_OBJECT

public:
    explicit ColourBar(QWidget *parent = nullptr);

    int position() const { return m_position; }
    void setPosition(int position);
    QColor backgroundColour() const { return m_background; }
    void setBackgroundColour(const QColor &colour);
    QColor barColour() const { return m_bar; }
    void setBarColour(const QColor &colour);
    bool smooth() const { return m_smooth; }
    void setSmooth(bool smooth);

signals:
    // Every position set, also one equal to the current position.
    void positionSet(int position);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_position = 0;
    QColor m_background;
    QColor m_bar = QColor(0x00, 0x00, 0xFF);
    bool m_smooth = false;
};
