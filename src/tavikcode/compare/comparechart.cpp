#include "comparechart.h"

#include "comparecolours.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kLabelRoom = 34; // around the circle for the sectors' labels

// A compass bearing as a painter's angle: counter-clockwise from three o'clock.
double painterAngle(double bearing)
{
    return 90 - bearing;
}

QPointF along(QPointF centre, double bearing, double distance)
{
    const double a = bearing * std::numbers::pi / 180;
    return centre + QPointF(std::sin(a), -std::cos(a)) * distance;
}

} // namespace

QString sliceText(const QString &name, const DifferenceSummary &s)
{
    const QString who = QStringLiteral("%1 %2, %3 %4")
                            .arg(s.receivers)
                            .arg(s.receivers == 1 ? QStringLiteral("receiver") : QStringLiteral("receivers"))
                            .arg(s.pairs)
                            .arg(s.pairs == 1 ? QStringLiteral("pair") : QStringLiteral("pairs"));
    if (!s.median)
        return name + QStringLiteral(": no pairs");
    if (s.tooFew())
        return name + QStringLiteral(": too few (") + who + u')';
    return name + QStringLiteral(": ") + decibelText(*s.median) + QStringLiteral(" dB from ") + who;
}

CompareChart::CompareChart(QWidget *parent) : PictureWidget(parent)
{
    setObjectName(QStringLiteral("CompareChart"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Difference by direction and distance"));
}

void CompareChart::setRow(const std::optional<CompareRow> &row, bool placed, const QString &operatorCallsign,
                          const QString &referenceCallsign)
{
    m_row = row;
    m_placed = placed;
    m_operator = operatorCallsign;
    m_reference = referenceCallsign;
    contentChanged();
}

CompareChart::Layout CompareChart::layout() const
{
    Layout l;
    const double line = QFontMetricsF(font()).height();
    l.rowHeight = line + 6;
    const double barsHeight = l.rowHeight * kRings + line + 8;
    const double top = line + 8; // the title
    const double side = std::max(40.0, std::min(double(width()), height() - top - barsHeight));
    l.radius = std::max(10.0, side / 2 - kLabelRoom);
    l.centre = QPointF(width() / 2.0, top + side / 2);
    l.rings = QRectF(8, top + side + line + 4, width() - 16, l.rowHeight * kRings);
    return l;
}

QString CompareChart::summary() const
{
    QString text = QStringLiteral("Median difference ") + m_operator + QStringLiteral(" minus ") + m_reference
        + QStringLiteral(" in dB by direction and distance");
    if (!m_placed)
        return text + QStringLiteral(": directions and distances need your locator.");
    if (!m_row)
        return text + QStringLiteral(": no figures yet.");
    text += QStringLiteral(", ") + (m_row->band.isEmpty() ? QStringLiteral("all bands") : m_row->band);
    // The sector that favours the operator most, and the one that favours the reference most.
    int best = -1, worst = -1;
    for (int s = 0; s < kSectors; ++s) {
        const DifferenceSummary &d = m_row->sectors[size_t(s)];
        if (!d.median || d.tooFew())
            continue;
        if (best < 0 || *d.median > *m_row->sectors[size_t(best)].median)
            best = s;
        if (worst < 0 || *d.median < *m_row->sectors[size_t(worst)].median)
            worst = s;
    }
    if (best < 0)
        return text + QStringLiteral(": too few receivers in every direction.");
    text += QStringLiteral(": best ") + sliceText(sectorName(best), m_row->sectors[size_t(best)]);
    if (worst != best)
        text += QStringLiteral("; worst ") + sliceText(sectorName(worst), m_row->sectors[size_t(worst)]);
    return text + u'.';
}

QString CompareChart::itemText(qsizetype item) const
{
    if (item < 0 || item >= itemCount())
        return {};
    if (item < kSectors)
        return sliceText(sectorName(int(item)), m_row->sectors[size_t(item)]);
    return sliceText(ringName(int(item - kSectors)), m_row->rings[size_t(item - kSectors)]);
}

QRectF CompareChart::itemRect(qsizetype item) const
{
    if (item < 0 || item >= itemCount())
        return {};
    const Layout l = layout();
    if (item >= kSectors)
        return {l.rings.left(), l.rings.top() + double(item - kSectors) * l.rowHeight, l.rings.width(), l.rowHeight};
    // Round the sector's label at the rim.
    const QPointF at = along(l.centre, item * 45.0, l.radius + kLabelRoom / 2);
    const double h = QFontMetricsF(font()).height();
    return {at.x() - 30, at.y() - h, 60, 2 * h};
}

double CompareChart::radiusOf(double decibels, double radius) const
{
    // -10 dB at the middle, 0 dB halfway out, +10 dB on the rim.
    return radius * std::clamp(0.5 + decibels / (2 * kFullColourDecibels), 0.04, 1.0);
}

void CompareChart::drawPicture(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor text = palette().color(QPalette::WindowText);
    const QFontMetricsF metrics(font());
    painter.setPen(text);
    painter.drawText(QRectF(6, 4, width() - 12, metrics.height() + 4), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("By direction and distance: ") + m_operator + QStringLiteral(" \u2212 ")
                         + m_reference + QStringLiteral(" (dB)"));
    if (!m_placed || !m_row) {
        painter.drawText(rect().adjusted(12, 0, -12, 0), Qt::AlignCenter | Qt::TextWordWrap,
                         m_placed ? QString()
                                  : QStringLiteral("Directions and distances need your locator."));
        return;
    }
    const Layout l = layout();

    // Circles every 5 dB, 0 dB bold, under the wedges; their labels over them.
    painter.setBrush(Qt::NoBrush);
    for (int db = -5; db <= 10; db += 5) {
        const double r = radiusOf(db, l.radius);
        painter.setPen(QPen(QColor(0x90, 0x90, 0x90), db == 0 ? 1.4 : 0.6, db == 0 ? Qt::SolidLine : Qt::DashLine));
        painter.drawEllipse(l.centre, r, r);
    }
    for (int s = 0; s < kSectors; ++s) {
        const DifferenceSummary &d = m_row->sectors[size_t(s)];
        const double bearing = s * 45.0;
        if (d.median) {
            const double r = radiusOf(*d.median, l.radius);
            QPainterPath wedge;
            wedge.moveTo(l.centre);
            wedge.arcTo(QRectF(l.centre.x() - r, l.centre.y() - r, 2 * r, 2 * r), painterAngle(bearing + 22.5), 45);
            wedge.closeSubpath();
            if (d.tooFew()) {
                painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1, Qt::DotLine));
                painter.setBrush(QColor(0xF0, 0xF0, 0xF0, 120));
            } else {
                painter.setPen(QPen(QColor(60, 60, 60), 0.8));
                painter.setBrush(differenceColour(*d.median));
            }
            painter.drawPath(wedge);
        }
        const QString label = sectorName(s) + u'\n'
            + (!d.median ? QStringLiteral("\u2013") : d.tooFew() ? QStringLiteral("too few") : decibelText(*d.median));
        const QPointF at = along(l.centre, bearing, l.radius + kLabelRoom / 2);
        painter.setPen(text);
        painter.drawText(QRectF(at.x() - 30, at.y() - metrics.height(), 60, 2 * metrics.height()), Qt::AlignCenter,
                         label);
    }
    painter.setPen(QPen(QColor(0x50, 0x50, 0x50), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(l.centre, l.radius, l.radius);
    // Labelled between the north and north-east sectors, clear of their labels.
    painter.setPen(QColor(0x50, 0x50, 0x50));
    for (int db = -5; db <= 10; db += 5)
        painter.drawText(along(l.centre, 22.5, radiusOf(db, l.radius)) + QPointF(2, -2),
                         db > 0 ? u'+' + QString::number(db) : QString::number(db));

    // The rings of distance: a bar each from 0 dB.
    const double labelWidth = metrics.horizontalAdvance(QStringLiteral("3,000\u20138,000 km ")) + 4;
    const QRectF axis(l.rings.left() + labelWidth, l.rings.top(), std::max(20.0, l.rings.width() - 2 * labelWidth),
                      l.rings.height());
    const double zero = axis.center().x();
    const double perDb = axis.width() / 2 / kFullColourDecibels;
    painter.setPen(QPen(QColor(0x90, 0x90, 0x90), 1));
    painter.drawLine(QPointF(zero, axis.top()), QPointF(zero, axis.bottom()));
    for (int k = 0; k < kRings; ++k) {
        const DifferenceSummary &d = m_row->rings[size_t(k)];
        const QRectF row(l.rings.left(), l.rings.top() + k * l.rowHeight, l.rings.width(), l.rowHeight);
        painter.setPen(text);
        painter.drawText(QRectF(row.left(), row.top(), labelWidth, row.height()), Qt::AlignVCenter, ringName(k));
        QString value = QStringLiteral("\u2013");
        if (d.median) {
            const double end = zero + std::clamp(*d.median, -kFullColourDecibels, kFullColourDecibels) * perDb;
            const QRectF bar(std::min(zero, end), row.top() + 3, std::max(1.0, std::abs(end - zero)),
                             row.height() - 6);
            painter.setPen(d.tooFew() ? QPen(QColor(0x80, 0x80, 0x80), 1, Qt::DotLine) : QPen(QColor(60, 60, 60), 0.8));
            painter.setBrush(d.tooFew() ? QColor(0xF0, 0xF0, 0xF0) : differenceColour(*d.median));
            painter.drawRect(bar);
            value = d.tooFew() ? QStringLiteral("too few") : decibelText(*d.median);
        }
        painter.setPen(text);
        painter.drawText(QRectF(axis.right() + 4, row.top(), labelWidth, row.height()), Qt::AlignVCenter, value);
    }
}

QString CompareChart::textAt(QPointF position) const
{
    if (!m_placed || !m_row || !pictureValid())
        return {};
    const Layout l = layout();
    const QPointF d = position - l.centre;
    if (std::hypot(d.x(), d.y()) <= l.radius + kLabelRoom) {
        double bearing = std::atan2(d.x(), -d.y()) * 180 / std::numbers::pi;
        if (bearing < 0)
            bearing += 360;
        const int s = sectorOf(bearing);
        return sliceText(sectorName(s), m_row->sectors[size_t(s)]);
    }
    if (l.rings.contains(position)) {
        const int k = std::clamp(int((position.y() - l.rings.top()) / l.rowHeight), 0, kRings - 1);
        return sliceText(ringName(k), m_row->rings[size_t(k)]);
    }
    return {};
}
