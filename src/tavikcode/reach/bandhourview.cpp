#include "bandhourview.h"

#include <QPainter>

#include <algorithm>

namespace {

const QColor kEmptyCell(0xF1, 0xF1, 0xF1);
const QColor kFew(0xFF, 0xF0, 0xA8);
const QColor kSome(0xFD, 0x8D, 0x3C);
const QColor kMany(0xA5, 0x00, 0x26);
constexpr double kMaxRowHeight = 26;

QColor mix(const QColor &a, const QColor &b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

} // namespace

BandHourView::BandHourView(QWidget *parent) : PictureWidget(parent)
{
    setObjectName(QStringLiteral("BandHourView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Distinct receivers by hour (UTC)"));
}

void BandHourView::setChart(BandHourChart chart)
{
    m_chart = std::move(chart);
    contentChanged();
}

QColor BandHourView::cellColour(qint64 receivers, qint64 maximum)
{
    const double shade = cellShade(receivers, maximum);
    if (shade <= 0)
        return kEmptyCell;
    return shade < 0.5 ? mix(kFew, kSome, shade * 2) : mix(kSome, kMany, (shade - 0.5) * 2);
}

QRectF BandHourView::gridRect() const
{
    const QFontMetricsF metrics(font());
    double labels = metrics.horizontalAdvance(QStringLiteral("70cm"));
    for (const QString &band : m_chart.bands)
        labels = std::max(labels, metrics.horizontalAdvance(band));
    const double left = labels + 10, top = metrics.height() + 8, bottom = metrics.height() + 6;
    const double width = std::max(0.0, this->width() - left - 6);
    const double rows = double(std::max<qsizetype>(1, m_chart.bands.size()));
    const double height = std::clamp(this->height() - top - bottom, 0.0, rows * kMaxRowHeight);
    return {left, top, width, height};
}

QRectF BandHourView::cellRect(qsizetype row, int hour) const
{
    if (row < 0 || row >= m_chart.bands.size() || hour < 0 || hour > 23)
        return {};
    const QRectF grid = gridRect();
    const double w = grid.width() / 24, h = grid.height() / double(m_chart.bands.size());
    return {grid.left() + hour * w, grid.top() + double(row) * h, w, h};
}

void BandHourView::drawPicture(QPainter &painter)
{
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetricsF metrics(font());
    painter.drawText(QRectF(0, 2, width(), metrics.height()), Qt::AlignHCenter,
                     QStringLiteral("Distinct receivers by hour (UTC)"));
    if (m_chart.bands.isEmpty()) {
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("No reports in this period"));
        return;
    }
    const qint64 maximum = m_chart.maximum();
    for (qsizetype row = 0; row < m_chart.bands.size(); ++row) {
        const QRectF first = cellRect(row, 0);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRectF(0, first.top(), first.left() - 5, first.height()), Qt::AlignRight | Qt::AlignVCenter,
                         m_chart.bands[row]);
        for (int hour = 0; hour < 24; ++hour) {
            // A hairline of the window colour between cells.
            const QRectF cell = cellRect(row, hour).adjusted(0, 0, -1, -1);
            painter.fillRect(cell, cellColour(m_chart.at(row, hour), maximum));
        }
    }
    const QRectF grid = gridRect();
    painter.setPen(palette().color(QPalette::WindowText));
    for (int hour = 0; hour < 24; hour += 3) {
        const QRectF cell = cellRect(0, hour);
        painter.drawText(QRectF(cell.left() - 10, grid.bottom() + 2, 2 * cell.width() + 20, metrics.height()),
                         Qt::AlignLeft, QStringLiteral("%1").arg(hour, 2, 10, QChar(u'0')));
    }
}

QString BandHourView::textAt(QPointF position) const
{
    for (qsizetype row = 0; row < m_chart.bands.size(); ++row) {
        for (int hour = 0; hour < 24; ++hour) {
            if (cellRect(row, hour).contains(position))
                return itemText(row * 24 + hour);
        }
    }
    return {};
}

QString BandHourView::itemText(qsizetype item) const
{
    const qsizetype row = item / 24;
    const int hour = int(item % 24);
    if (item < 0 || row >= m_chart.bands.size())
        return {};
    const qint64 n = m_chart.at(row, hour);
    return QStringLiteral("%1, %2:00-%3:00 UTC: %4 %5")
        .arg(m_chart.bands[row])
        .arg(hour, 2, 10, QChar(u'0'))
        .arg((hour + 1) % 24, 2, 10, QChar(u'0'))
        .arg(n)
        .arg(n == 1 ? QStringLiteral("receiver") : QStringLiteral("receivers"));
}

QString BandHourView::summary() const
{
    if (m_chart.bands.isEmpty())
        return QStringLiteral("No reports in this period.");
    qsizetype busiest = 0;
    for (qsizetype item = 1; item < itemCount(); ++item) {
        if (m_chart.at(item / 24, int(item % 24)) > m_chart.at(busiest / 24, int(busiest % 24)))
            busiest = item;
    }
    const qsizetype bands = m_chart.bands.size();
    return QStringLiteral("%1 %2 by 24 hours; the most: %3. Arrow keys step through bands and hours.")
        .arg(bands)
        .arg(bands == 1 ? QStringLiteral("band") : QStringLiteral("bands"), itemText(busiest));
}
