#pragma once

#include "comparedata.h"
#include "parts/picturewidget.h"

#include <QRectF>
#include <QString>

#include <optional>

// The pattern of the operator's antenna against the reference's: a polar
// chart of the median difference in eight sectors of bearing (0 dB on the
// middle circle, the operator louder outside it, the reference inside),
// and below it the same for the rings of distance. A slice with too few
// receivers or pairs shows its outline only.
class CompareChart : public PictureWidget
{
    Q_OBJECT

public:
    explicit CompareChart(QWidget *parent = nullptr);

    // Nothing: no figures yet. placed: the operator's locator is known.
    void setRow(const std::optional<CompareRow> &row, bool placed, const QString &operatorCallsign,
                const QString &referenceCallsign);

    QString textAt(QPointF position) const override;
    // The eight sectors clockwise from north, then the rings of distance.
    QString summary() const override;
    qsizetype itemCount() const override { return m_placed && m_row ? kSectors + kRings : 0; }
    QString itemText(qsizetype item) const override;
    QRectF itemRect(qsizetype item) const override;

    QSize sizeHint() const override { return {380, 420}; }
    QSize minimumSizeHint() const override { return {220, 260}; }

protected:
    void drawPicture(QPainter &painter) override;

private:
    struct Layout
    {
        QPointF centre;
        double radius = 0;
        QRectF rings; // the bars of the rings of distance
        double rowHeight = 0;
    };
    Layout layout() const;
    double radiusOf(double decibels, double radius) const;

    std::optional<CompareRow> m_row;
    bool m_placed = false;
    QString m_operator;
    QString m_reference;
};

// "NE: +2.0 dB from 12 receivers (40 pairs)", "SW: too few (3 receivers, 8 pairs)".
QString sliceText(const QString &name, const DifferenceSummary &summary);
