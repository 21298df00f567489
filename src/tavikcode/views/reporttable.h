#pragma once

#include <QColor>
#include <QString>
#include <QStyledItemDelegate>

#include <vector>

class QTableWidget;
struct ProgramState;

// Paints the cells of the report table: the background by row, the text in
// the colour of its row's date group, at the cell's top-left corner.
//
// Each row's colour follows from the rows above it, as a pass from row 1
// downward gives it, so the colours stay the same however the table scrolls
// or repaints in part. They are worked out once and kept until the rows or
// the UTC date change.
class ReportTableDelegate final : public QStyledItemDelegate
{
public:
    ReportTableDelegate(QTableWidget *grid, ProgramState &state);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    static QColor backgroundColour(int row);
    QColor textColour(int row) const;

private:
    void refresh() const;

    QTableWidget *m_grid;
    ProgramState &m_state;
    mutable std::vector<int> m_colours; // colour index of rows 1..n
    mutable QString m_today;            // the UTC date the colours were worked out for
    mutable bool m_valid = false;
};

// Makes the delegate above paint the grid.
void installReportTablePainter(QTableWidget *grid, ProgramState &state);
