// The table view's painter: cells shaded by row and coloured by date group.
#include "views/reporttable.h"

#include "base/clock.h"
#include "base/datetime.h"
#include "base/programstate.h"
#include "views/dategroups.h"

#include <QPainter>
#include <QTableWidget>

namespace {

const QColor kHeaderBackground(0xC0, 0xDC, 0xC0);
const QColor kOddBackground(0xD8, 0xF8, 0xFA);
const QColor kEvenBackground(0xFF, 0xFF, 0xD2);
const QColor kGridText(0x00, 0x00, 0x00);
const QColor kGroupColours[] = {kGridText, QColor(0x00, 0x00, 0x00), QColor(0x00, 0x80, 0x00),
                                QColor(0x00, 0x00, 0xFF)};

} // namespace

ReportTableDelegate::ReportTableDelegate(QTableWidget *grid, ProgramState &state)
    : QStyledItemDelegate(grid), m_grid(grid), m_state(state)
{
    QAbstractItemModel *model = grid->model();
    const auto invalidate = [this] { m_valid = false; };
    connect(model, &QAbstractItemModel::dataChanged, this, invalidate);
    connect(model, &QAbstractItemModel::rowsInserted, this, invalidate);
    connect(model, &QAbstractItemModel::rowsRemoved, this, invalidate);
    connect(model, &QAbstractItemModel::rowsMoved, this, invalidate);
    connect(model, &QAbstractItemModel::modelReset, this, invalidate);
    connect(model, &QAbstractItemModel::layoutChanged, this, invalidate);
}

QColor ReportTableDelegate::backgroundColour(int row)
{
    if (row == 0)
        return kHeaderBackground;
    return row % 2 == 1 ? kOddBackground : kEvenBackground;
}

void ReportTableDelegate::refresh() const
{
    const QString today = datetime::dateText(Clock::nowUtc().date());
    if (m_valid && today == m_today)
        return;
    QStringList firstCells;
    const int rows = m_grid->rowCount();
    firstCells.reserve(std::max(rows - 1, 0));
    for (int row = 1; row < rows; ++row) {
        const QTableWidgetItem *item = m_grid->item(row, 0);
        firstCells << (item ? item->text() : QString());
    }
    dategroups::Pass pass = dategroups::colourRows(firstCells, today);
    m_colours = std::move(pass.colours);
    m_state.RowColour = pass.lastColour;
    m_state.RowDate = pass.lastReference;
    m_today = today;
    m_valid = true;
}

QColor ReportTableDelegate::textColour(int row) const
{
    refresh();
    if (row < 1 || size_t(row) > m_colours.size())
        return kGridText;
    return kGroupColours[m_colours[size_t(row - 1)]];
}

void ReportTableDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const
{
    const QRect cell = option.rect;
    painter->save();
    painter->setClipRect(cell);
    painter->fillRect(cell, backgroundColour(index.row()));
    painter->setFont(option.font);
    painter->setPen(textColour(index.row()));
    painter->drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, index.data().toString());
    painter->restore();
}

void installReportTablePainter(QTableWidget *grid, ProgramState &state)
{
    grid->setItemDelegate(new ReportTableDelegate(grid, state));
}
