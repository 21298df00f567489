#include "transmissionlist.h"

#include "base/utctext.h"

#include <QHeaderView>
#include <QLocale>
#include <QTableWidget>

#include <cmath>

using namespace Qt::StringLiterals;

QTableWidget *createTransmissionTable(QWidget *parent)
{
    auto *table = new QTableWidget(0, 6, parent);
    table->setObjectName(u"transmissionTable"_s);
    table->setHorizontalHeaderLabels(
        {u"Time (UTC)"_s, u"Band"_s, u"Mode"_s, u"Heard by"_s, u"Farthest"_s, u"Median SNR"_s});
    table->verticalHeader()->hide();
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setAccessibleName(u"Transmissions"_s);
    table->setAccessibleDescription(
        u"Each transmission WSJT-X told, newest first, with the receivers that heard it"_s);
    // Tab leaves the table; the arrows move inside it.
    table->setTabKeyNavigation(false);
    return table;
}

void fillTransmissionTable(QTableWidget *table, const QList<TransmissionSummary> &summaries, DistanceUnit unit)
{
    const QLocale english(QLocale::English);
    const auto cell = [](const QString &text) {
        auto *item = new QTableWidgetItem(text);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        return item;
    };
    table->setRowCount(int(summaries.size()));
    for (int row = 0; row < summaries.size(); ++row) {
        const TransmissionSummary &s = summaries.at(row);
        const Transmission &t = s.transmission;
        table->setItem(row, 0, cell(utcText(t.start.toSecsSinceEpoch()) + t.start.toUTC().toString(u":ss"_s)));
        table->setItem(row, 1, cell(t.band));
        table->setItem(row, 2, cell(t.mode));
        table->setItem(row, 3, cell(english.toString(s.receivers)));
        table->setItem(row, 4,
                       cell(s.farthestKm ? s.farthestCallsign + u' ' + distanceText(*s.farthestKm, unit)
                                         : u"\u2014"_s));
        table->setItem(row, 5,
                       cell(s.medianSnr ? english.toString(*s.medianSnr, 'f', std::fmod(*s.medianSnr, 1.0) ? 1 : 0)
                                              + u" dB"_s
                                        : u"\u2014"_s));
    }
}
