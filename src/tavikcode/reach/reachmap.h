#pragma once

#include "geo/geodesy.h"
#include "parts/mapbackdrop.h"
#include "parts/picturewidget.h"
#include "reachdata.h"
#include "reachtext.h"

#include <QPixmap>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

// The map of the Reach window: around the operator's locator in the
// azimuthal equidistant projection, with distance rings and the compass
// points, or a plain world map without a locator; every receiver of the
// period as a dot in its band's colour, a legend, and the receiver under the
// mouse in a tooltip.
//
// Painting works from caches: the land as a path in map units, projected
// once per centre (MapBackdrop, at the first paint, when the land is read), and the
// whole picture as a pixmap at the screen's pixel ratio, drawn again only
// when the size, the ratio, the centre, the data, the band or the unit change.
class ReachMap : public PictureWidget
{
    Q_OBJECT

public:
    explicit ReachMap(QWidget *parent = nullptr);

    void setReach(std::shared_ptr<const ReachData> data);
    void setBand(const QString &band); // empty: every band
    void setUnit(DistanceUnit unit);
    // The period shown, for the summary ("Last 24 hours").
    void setPeriodName(const QString &period);

    // The tooltip text at a point of the widget: the receivers of the dot
    // nearest to it, if one lies within a few pixels; else empty.
    QString textAt(QPointF position) const override;
    // "Reach, last 24 hours: 16 bands; farthest on 20 m VK2XYZ, 16,480 km, 250°".
    QString summary() const override;
    // The bands shown, each with its farthest receiver ringed.
    qsizetype itemCount() const override;
    QString itemText(qsizetype item) const override;
    QRectF itemRect(qsizetype item) const override;
    // How often the picture was drawn anew (tests, benchmarks).
    int pictureBuilds() const { return m_pictureBuilds; }

    QSize sizeHint() const override { return {520, 420}; }
    QSize minimumSizeHint() const override { return {220, 180}; }

protected:
    void drawPicture(QPainter &painter) override;

private:
    friend struct ReachMapProbe; // tests look at what was drawn

    // Where a point in map units (see PlacedReceiver::mapPoint) is drawn.
    QPointF pixelOf(QPointF mapPoint) const;

    // Twelve bytes: a month of a busy station has 90,000 of them.
    struct Dot
    {
        float x;
        float y;
        qint32 receiver; // row of m_data's snapshot
        QPointF pixel() const { return {x, y}; }
    };

    void paintLegend(QPainter &painter, const QStringList &bands) const;
    const BandRow *shownBand(qsizetype item) const;

    std::shared_ptr<const ReachData> m_data;
    QString m_band;
    QString m_period;
    DistanceUnit m_unit = DistanceUnit::Kilometres;

    MapBackdrop m_backdrop;

    int m_pictureBuilds = 0;
    std::vector<Dot> m_dots;
};
