// The table view: the report history cut into cells.
#include "tform1.h"

#include "base/fileutil.h"
#include "base/filenames.h"
#include "base/textlines.h"
#include "parts/widgets.h"
#include "views/csvgrid.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTableWidget>

namespace {

constexpr int kColumns = 7;
const int kColumnWidths[kColumns] = {120, 80, 40, 40, 30, 40, 150};

void setCell(QTableWidget *grid, int row, int column, const QString &text)
{
    if (QTableWidgetItem *item = grid->item(row, column))
        item->setText(text);
    else
        grid->setItem(row, column, new QTableWidgetItem(text));
}

} // namespace

void TForm1::ShowReportTable()
{
    Edit1->setText(QStringLiteral("0"));
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int column = 0; column < kColumns; ++column)
        StringGrid1->setColumnWidth(column, kColumnWidths[column]);
    if (fileutil::FileSize64(files::kReports) > 0)
        LoadGridFromCsv(files::kReports, StringGrid1);

    static const char16_t *const headers[kColumns] = {u"Timing", u"Call", u" SN", u"Band",
                                                      u"Mode",   u"Grid", u"Area"};
    for (int column = 0; column < kColumns; ++column)
        setCell(StringGrid1, 0, column, QString::fromUtf16(headers[column]));

    // A window not yet shown cannot take the focus.
    if (ProgressBar1->isVisible())
        ProgressBar1->setFocus();
}

void TForm1::LoadGridFromCsv(const QString &fileName, QTableWidget *grid)
{
    state.RowColour = 0;
    TextLines list(TextLines::Unsorted);
    list.loadFromFile(fileName);
    const QStringList &lines = list.lines();
    const qsizetype fields = csvgrid::fieldCount(lines);

    grid->setColumnCount(kColumns);
    grid->setRowCount(int(lines.size() + 1));
    for (qsizetype r = 0; r < lines.size(); ++r) {
        const QStringList cells = csvgrid::cells(lines.at(r), fields, kColumns);
        for (qsizetype c = 0; c < cells.size(); ++c)
            setCell(grid, int(r + 1), int(c), cells.at(c));
    }
    Edit1->setText(QString::number(lines.size()));
}

void TForm1::CheckBox1Click()
{
    if (CheckBox1->isChecked())
        ShowReportTable();
    else
        ShowReports();
}
