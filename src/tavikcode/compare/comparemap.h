#pragma once

#include "comparedata.h"
#include "parts/mapbackdrop.h"
#include "parts/picturewidget.h"

#include <QHash>
#include <QPixmap>
#include <QString>

#include <memory>
#include <vector>

// The Compare window's map, drawn as the Reach map is (around the operator's
// locator, else a plain world map), with rings at the distances the figures
// use. Each receiver of the band shown (or of all bands): one that heard
// both filled in the diverging colour of its median difference, larger with
// more pairs; one that heard only one station hollow in that station's
// colour (grey: heard both, never in one window). Hover: callsign, locator,
// distance, pairs and median difference.
class CompareMap : public PictureWidget
{
    Q_OBJECT

public:
    explicit CompareMap(QWidget *parent = nullptr);

    void setData(std::shared_ptr<const CompareData> data, const QString &operatorCallsign,
                 const QString &referenceCallsign);
    void setBand(const QString &band); // empty: all bands together

    QString textAt(QPointF position) const override;
    // The receivers of the band shown that have a place on the map.
    QString summary() const override;
    qsizetype itemCount() const override { return qsizetype(m_items.size()); }
    QString itemText(qsizetype item) const override;
    QRectF itemRect(qsizetype item) const override;

    QSize sizeHint() const override { return {520, 420}; }
    QSize minimumSizeHint() const override { return {220, 180}; }

protected:
    void drawPicture(QPainter &painter) override;

private:
    friend struct CompareMapProbe; // tests look at what was drawn

    struct Marker
    {
        QPointF pixel;
        double radius;
        const ComparedReceiver *receiver;
    };

    void paintLegend(QPainter &painter) const;
    void listItems();
    const QPixmap &markerPicture(const ComparedReceiver &receiver, double radius);

    std::shared_ptr<const CompareData> m_data;
    QString m_operator;
    QString m_reference;
    QString m_band;
    MapBackdrop m_backdrop;
    std::vector<Marker> m_markers;
    std::vector<const ComparedReceiver *> m_items; // of m_data, in its order
    QHash<quint64, QPixmap> m_pictures; // of each look of a marker, at the picture's pixel ratio
    qreal m_picturesRatio = 0;
};

// The lines of a receiver's tooltip.
QString comparedReceiverText(const CompareData &data, const ComparedReceiver &receiver,
                             const QString &operatorCallsign, const QString &referenceCallsign);
