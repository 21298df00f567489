#pragma once

#include "bandhourchart.h"

#include "parts/picturewidget.h"

// The band by UTC-hour chart: a row per band, a column per hour, each cell
// coloured by its distinct receivers, the count in a tooltip. Drawn into a
// cached pixmap at the screen's pixel ratio, again only when the size, the
// ratio or the chart change.
class BandHourView : public PictureWidget
{
    Q_OBJECT

public:
    explicit BandHourView(QWidget *parent = nullptr);

    void setChart(BandHourChart chart);
    const BandHourChart &chart() const { return m_chart; }

    // Where a cell is drawn, in widget pixels; empty outside the chart.
    QRectF cellRect(qsizetype row, int hour) const;
    // The tooltip text of the cell at a point; empty between cells.
    QString textAt(QPointF position) const override;
    // A cell per band and hour, row by row.
    QString summary() const override;
    qsizetype itemCount() const override { return m_chart.bands.size() * 24; }
    QString itemText(qsizetype item) const override;
    QRectF itemRect(qsizetype item) const override { return cellRect(item / 24, int(item % 24)); }
    int itemColumns() const override { return 24; }
    // The colour a cell is filled with.
    static QColor cellColour(qint64 receivers, qint64 maximum);

    QSize sizeHint() const override { return {360, 260}; }
    QSize minimumSizeHint() const override { return {240, 120}; }

protected:
    void drawPicture(QPainter &painter) override;

private:
    QRectF gridRect() const;

    BandHourChart m_chart;
};
