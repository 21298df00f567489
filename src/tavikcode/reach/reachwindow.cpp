#include "reachwindow.h"
#include "transmissionlist.h"

#include "bandcolours.h"
#include "bandhourview.h"
#include "base/clock.h"
#include "archive/exportjob.h"
#include "parts/followband.h"
#include "parts/exportstatus.h"
#include "base/fileutil.h"
#include "geo/homelocator.h"
#include "geo/locator.h"
#include "parts/accessibility.h"
#include "parts/placewindow.h"
#include "platform/freememory.h"
#include "reachmap.h"
#include "reachsettings.h"
#include "reportcsv.h"
#include "base/callsignfile.h"
#include "shell/dialogs.h"
#include "shell/filedialogs.h"
#include "platform/settingsstore.h"
#include "base/textlines.h"
#include "parts/widgets.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QTabWidget>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { Band, Reports, Receivers, Dxcc, BestSnr, LastHeard, Farthest, Locator, Distance, Bearing, NoLocator };
const char16_t *const kHeaders[] = {u"Band",     u"Reports",  u"Receivers", u"DXCC",    u"Best sNR",  u"Last heard (UTC)",
                                    u"Farthest", u"Locator",  u"Distance",  u"Bearing", u"No locator"};

const QColor kProblem(0xC0, 0x00, 0x00);

QTableWidgetItem *cell(const QString &text, bool number = false)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

} // namespace

ReachWindow::ReachWindow(ReachWindowEnvironment environment, QWidget *parent)
    : QWidget(parent, Qt::Window), m_environment(std::move(environment)),
      m_kept(m_environment.store, reachsettings::kSection, Dialogs::showError)
{
    setObjectName(QStringLiteral("ReachWindow"));
    setWindowTitle(m_environment.callsign.isEmpty()
                       ? QStringLiteral("Reach - TavikRepView")
                       : QStringLiteral("Reach of ") + m_environment.callsign + QStringLiteral(" - TavikRepView"));
    setMinimumSize(640, 480);
    exposeAsWindow(this);
    createControls();
    loadSettings();
    readHomeLocator();
    connect(qApp, &QCoreApplication::aboutToQuit, this, &ReachWindow::savePlacement);
    refresh();
}

ReachWindow::~ReachWindow()
{
    // The workers end first: a result they still post finds no window.
    m_queries.reset();
    m_exports.reset();
    // QWidget's destructor hides the window, and the edit holding the focus
    // then finishes its editing: no slot of a window half gone may hear it.
    locatorEdit->disconnect(this);
}

void ReachWindow::createControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);

    auto *bar = new QHBoxLayout;
    bar->setSpacing(6);
    periodBox = new QComboBox(this);
    periodBox->setObjectName(QStringLiteral("periodBox"));
    for (ReachPeriod p : reachPeriods())
        periodBox->addItem(periodLabel(p), periodKey(p));
    unitBox = new QComboBox(this);
    unitBox->setObjectName(QStringLiteral("unitBox"));
    unitBox->addItem(QStringLiteral("km"), unitKey(DistanceUnit::Kilometres));
    unitBox->addItem(QStringLiteral("miles"), unitKey(DistanceUnit::Miles));
    locatorEdit = new QLineEdit(this);
    locatorEdit->setObjectName(QStringLiteral("locatorEdit"));
    locatorEdit->setMaxLength(10);
    locatorEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9]{0,10}")), locatorEdit));
    locatorEdit->setPlaceholderText(QStringLiteral("e.g. IO91wm"));
    locatorEdit->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("MMMMMMMMMMM")) + 12);
    locatorEdit->setToolTip(QStringLiteral("Your Maidenhead locator, 2 to 10 characters; press Enter"));
    allBandsButton = new QPushButton(QStringLiteral("All bands"), this);
    allBandsButton->setObjectName(QStringLiteral("allBandsButton"));
    allBandsButton->setToolTip(QStringLiteral("Show every band again"));
    exportButton = new QPushButton(QStringLiteral("Export CSV..."), this);
    exportButton->setObjectName(QStringLiteral("exportButton"));
    exportButton->setToolTip(QStringLiteral("Save the period's reports as a CSV file"));
    // Each label names its input (a combo box would otherwise be read by its value).
    bar->addWidget(labelFor(QStringLiteral("Period:"), periodBox));
    bar->addWidget(periodBox);
    bar->addWidget(labelFor(QStringLiteral("Distances in:"), unitBox));
    bar->addWidget(unitBox);
    bar->addWidget(labelFor(QStringLiteral("Your locator:"), locatorEdit));
    bar->addWidget(locatorEdit);
    bar->addStretch(1);
    followBandBox = createFollowBandBox(this);
    bar->addWidget(followBandBox);
    bar->addWidget(allBandsButton);
    bar->addWidget(exportButton);
    layout->addLayout(bar);

    locatorNote = new QLabel(this);
    locatorNote->setObjectName(QStringLiteral("locatorNote"));
    locatorNote->setWordWrap(true);
    // Network text (a band, an error naming a file) is never read as markup.
    locatorNote->setTextFormat(Qt::PlainText);
    layout->addWidget(locatorNote);
    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    statusLabel->setWordWrap(true);
    statusLabel->setTextFormat(Qt::PlainText);
    layout->addWidget(statusLabel);
    linkLabel = new QLabel(this);
    linkLabel->setObjectName(QStringLiteral("linkLabel"));
    linkLabel->setWordWrap(true);
    linkLabel->setTextFormat(Qt::PlainText);
    linkLabel->hide();
    layout->addWidget(linkLabel);

    bandTable = new QTableWidget(0, int(std::size(kHeaders)), this);
    bandTable->setObjectName(QStringLiteral("bandTable"));
    QStringList headers;
    for (const char16_t *h : kHeaders)
        headers << QString::fromUtf16(h);
    bandTable->setHorizontalHeaderLabels(headers);
    bandTable->verticalHeader()->hide();
    bandTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    bandTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    bandTable->setSelectionMode(QAbstractItemView::SingleSelection);
    bandTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    bandTable->horizontalHeader()->setStretchLastSection(true);
    bandTable->setToolTip(QStringLiteral("Click a band to show it alone on the map and the chart"));
    bandTable->setAccessibleName(QStringLiteral("Bands"));
    bandTable->setAccessibleDescription(QStringLiteral("Reports, receivers and the farthest receiver of each band; "
                                                       "Enter shows the band alone"));
    // Tab leaves the table; the arrows move inside it.
    bandTable->setTabKeyNavigation(false);

    map = new ReachMap(this);
    chart = new BandHourView(this);
    auto *pictures = new QSplitter(Qt::Horizontal, this);
    pictures->addWidget(map);
    pictures->addWidget(chart);
    pictures->setStretchFactor(0, 3);
    pictures->setStretchFactor(1, 2);
    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(bandTable);
    split->addWidget(pictures);
    // About six rows of the table over the pictures; the splitter keeps the share.
    split->setSizes({220, 480});
    split->setChildrenCollapsible(false);
    transmissionTable = createTransmissionTable(this);
    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    tabs->addTab(split, QStringLiteral("Reach"));
    tabs->addTab(transmissionTable, QStringLiteral("Transmissions"));
    layout->addWidget(tabs, 1);
    connect(tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (tabs->widget(index) == transmissionTable)
            refreshTransmissions();
    });
    connect(followBandBox, &QCheckBox::toggled, this, &ReachWindow::followBandToggled);

    connect(periodBox, &QComboBox::activated, this, &ReachWindow::periodChanged);
    connect(unitBox, &QComboBox::activated, this, &ReachWindow::unitChanged);
    connect(locatorEdit, &QLineEdit::editingFinished, this, &ReachWindow::locatorEntered);
    connect(allBandsButton, &QPushButton::clicked, this, [this] { selectBand(QString()); });
    connect(exportButton, &QPushButton::clicked, this, &ReachWindow::exportReports);
    const auto bandChosen = [this](int row) {
        selectBand(m_data && row < m_data->bands.size() ? m_data->bands[row].counts.band : QString());
    };
    connect(bandTable, &QTableWidget::cellClicked, this, bandChosen);
    connect(bandTable, &QTableWidget::cellActivated, this, bandChosen);
}

void ReachWindow::loadSettings()
{
    using namespace reachsettings;
    const SettingsStore &s = *m_environment.store;
    placeWindow(*this, QSize(960, 700), keptPlacement(s, kSection, kLeft, kTop, kWidth, kHeight));
    m_period = periodFromKey(s.ReadString(kSection, kPeriod, QString())).value_or(ReachPeriod::Last24Hours);
    periodBox->setCurrentIndex(int(reachPeriods().indexOf(m_period)));
    m_unit = unitFromKey(s.ReadString(kSection, kUnits, QString()));
    unitBox->setCurrentIndex(m_unit == DistanceUnit::Miles ? 1 : 0);
    map->setUnit(m_unit);
    m_band = s.ReadString(kSection, kBand, QString());
    map->setBand(m_band);
    allBandsButton->setEnabled(!m_band.isEmpty());
    const QSignalBlocker quiet(followBandBox);
    followBandBox->setChecked(s.ReadString(kSection, kFollowBand, QString()) == QStringLiteral("1"));
}

void ReachWindow::readHomeLocator()
{
    // WSJT-X's "My Grid" first, read as the callsign is; else the one typed here.
    // The running program's DE grid comes before both while it is heard.
    const HomeLocator home = m_liveGrid.isEmpty()
                                 ? homeLocator(*m_environment.store, m_environment.wsjtxSettingsFile)
                                 : HomeLocator{m_liveGrid, true};
    m_homeFromWsjtx = home.fromWsjtx;
    m_home = locatorPosition(home.grid);
    m_homeLocator = m_home ? locatorText(home.grid) : QString();
    locatorEdit->setText(m_homeLocator);
    locatorEdit->setReadOnly(m_homeFromWsjtx);
    showLocatorNote();
}

void ReachWindow::showLocatorNote(const QString &problem)
{
    setTextColour(locatorNote, problem.isEmpty() ? palette().color(QPalette::WindowText) : kProblem);
    if (!problem.isEmpty())
        locatorNote->setText(problem);
    else if (!m_liveGrid.isEmpty())
        locatorNote->setText(QStringLiteral("Your locator comes from WSJT-X as it runs (its DE grid)."));
    else if (m_homeFromWsjtx)
        locatorNote->setText(QStringLiteral("Your locator comes from WSJT-X's settings (My Grid); change it there."));
    else if (!m_home)
        locatorNote->setText(QStringLiteral(
            "No locator yet: type yours into \"Your locator\" (for example IO91wm) and press Enter, or set My Grid "
            "in WSJT-X. Distances and the map centred on you wait for it; until then the map is a plain world map."));
    else
        locatorNote->clear();
    locatorNote->setVisible(!locatorNote->text().isEmpty());
}

void ReachWindow::keep(const QString &ident, const QString &value)
{
    m_kept.keep(ident, value);
}

void ReachWindow::savePlacement()
{
    using namespace reachsettings;
    m_kept.keepPlacement(*this, kLeft, kTop, kWidth, kHeight);
}

void ReachWindow::closeEvent(QCloseEvent *event)
{
    savePlacement();
    event->accept();
}

void ReachWindow::periodChanged()
{
    const qsizetype index = periodBox->currentIndex();
    if (index < 0 || index >= reachPeriods().size())
        return;
    m_period = reachPeriods().at(index);
    keep(reachsettings::kPeriod, periodKey(m_period));
    refresh();
}

void ReachWindow::selectPeriod(ReachPeriod period)
{
    periodBox->setCurrentIndex(int(reachPeriods().indexOf(period)));
    periodChanged();
}

void ReachWindow::unitChanged()
{
    m_unit = unitBox->currentIndex() == 1 ? DistanceUnit::Miles : DistanceUnit::Kilometres;
    keep(reachsettings::kUnits, unitKey(m_unit));
    map->setUnit(m_unit);
    fillTable();
}

void ReachWindow::locatorEntered()
{
    if (m_homeFromWsjtx)
        return;
    const QString typed = locatorEdit->text().trimmed();
    if (!typed.isEmpty() && !locatorPosition(typed)) {
        showLocatorNote(QStringLiteral("\"") + typed
                        + QStringLiteral("\" is no locator: give 2 to 10 characters such as IO91 or IO91wm."));
        return;
    }
    const QString locator = locatorText(typed);
    locatorEdit->setText(locator);
    if (locator == m_homeLocator) {
        showLocatorNote();
        return;
    }
    m_homeLocator = locator;
    m_home = locatorPosition(locator);
    keep(reachsettings::kGrid, locator);
    showLocatorNote();
    refresh();
}

void ReachWindow::selectBand(const QString &band)
{
    m_band = band;
    keep(reachsettings::kBand, band);
    map->setBand(band);
    if (m_data)
        chart->setChart(m_data->chart.onlyBand(band));
    allBandsButton->setEnabled(!band.isEmpty());
    fillTable();
    showStatus();
}

void ReachWindow::refresh()
{
    const quint64 generation = ++m_generation;
    const ArchivePeriod period = archivePeriod(m_period, Clock::nowUtc().toSecsSinceEpoch());
    const std::optional<GeoPosition> home = m_home;
    m_querying = true;
    if (!m_queries)
        m_queries = std::make_unique<ArchiveWorker>(*m_environment.archive);
    m_queries->submit({[this, generation, period, home](ArchiveReader &reader, const CancelFlag &cancel) {
                           auto data
                               = std::make_shared<const ReachData>(prepareReach(reader.reach(period), home, &cancel));
                           QMetaObject::invokeMethod(
                               this, [this, generation, data] { queryDone(generation, data); }, Qt::QueuedConnection);
                       },
                       [this, generation](const QString &error) {
                           QMetaObject::invokeMethod(
                               this, [this, generation, error] { queryFailed(generation, error); },
                               Qt::QueuedConnection);
                       }});
    showStatus();
}

void ReachWindow::queryDone(quint64 generation, std::shared_ptr<const ReachData> data)
{
    if (generation != m_generation)
        return; // a newer question is on its way
    m_querying = false;
    m_error.clear();
    showData(std::move(data));
    // The query's working copies and the result replaced are freed by now.
    returnFreedMemory();
    emit refreshed();
}

void ReachWindow::queryFailed(quint64 generation, const QString &error)
{
    if (generation != m_generation)
        return;
    m_querying = false;
    m_error = error;
    showStatus();
    emit refreshed();
}

void ReachWindow::showData(std::shared_ptr<const ReachData> data)
{
    m_data = std::move(data);
    map->setPeriodName(periodLabel(m_period));
    map->setReach(m_data);
    chart->setChart(m_data->chart.onlyBand(m_band));
    fillTable();
    showStatus();
}

void ReachWindow::fillTable()
{
    bandTable->setUpdatesEnabled(false);
    bandTable->clearContents();
    const qsizetype bands = m_data ? m_data->bands.size() : 0;
    bandTable->setRowCount(m_data ? int(bands) + 1 : 0);
    for (qsizetype row = 0; m_data && row <= bands; ++row) {
        const bool total = row == bands;
        const BandRow &r = total ? m_data->total : m_data->bands[row];
        const auto put = [&](int column, QTableWidgetItem *item) { bandTable->setItem(int(row), column, item); };
        QTableWidgetItem *name = cell(total ? QStringLiteral("All bands") : r.counts.band);
        if (!total)
            name->setData(Qt::DecorationRole, bandColour(r.counts.band));
        if (r.counts.frequencies)
            name->setToolTip(plainTip(QStringLiteral("Heard outside the amateur bands: ")
                                      + frequencyRangeText(*r.counts.frequencies)));
        put(Band, name);
        put(Reports, cell(QString::number(r.counts.reports), true));
        put(Receivers, cell(QString::number(r.counts.receivers), true));
        put(Dxcc, cell(QString::number(r.counts.dxcc), true));
        put(BestSnr, cell(snrText(r.counts.bestSnr), true));
        put(LastHeard, cell(r.counts.lastHeard > 0 ? utcText(r.counts.lastHeard) : QString()));
        if (r.farthest) {
            QTableWidgetItem *farthest = cell(r.farthest->callsign);
            farthest->setToolTip(
                plainTip(QStringLiteral("Last heard ") + utcText(r.farthest->lastHeard) + QStringLiteral(" UTC")));
            put(Farthest, farthest);
            put(Locator, cell(r.farthest->locator));
            put(Distance, cell(distanceText(r.farthest->path.distanceKm, m_unit), true));
            put(Bearing, cell(bearingText(r.farthest->path.bearingDegrees), true));
        }
        put(NoLocator, cell(QString::number(r.withoutLocator), true));
        if (total) {
            for (int column = 0; column < bandTable->columnCount(); ++column) {
                if (QTableWidgetItem *item = bandTable->item(int(row), column)) {
                    QFont bold = item->font();
                    bold.setBold(true);
                    item->setFont(bold);
                }
            }
        }
    }
    bandTable->clearSelection();
    for (qsizetype row = 0; m_data && row < bands; ++row) {
        if (m_data->bands[row].counts.band == m_band)
            bandTable->selectRow(int(row));
    }
    // Once after the fill: a header that follows its contents would measure
    // every cell again at every cell set.
    bandTable->resizeColumnsToContents();
    bandTable->setUpdatesEnabled(true);
}

void ReachWindow::showStatus()
{
    setTextColour(statusLabel, m_error.isEmpty() ? palette().color(QPalette::WindowText) : kProblem);
    if (!m_error.isEmpty()) {
        statusLabel->setText(m_error);
        return;
    }
    if (!m_data) {
        statusLabel->setText(QStringLiteral("Reading the report archive..."));
        return;
    }
    const BandCounts &t = m_data->total.counts;
    QString text = periodLabel(m_period) + QStringLiteral(": ");
    if (t.reports == 0) {
        text += QStringLiteral("no reports in this period.");
    } else {
        text += QStringLiteral("%1 reports from %2 receivers on %3 %4.")
                    .arg(t.reports)
                    .arg(t.receivers)
                    .arg(m_data->bands.size())
                    .arg(m_data->bands.size() == 1 ? QStringLiteral("band") : QStringLiteral("bands"));
        if (const qint64 n = m_data->total.withoutLocator; n > 0)
            text += QStringLiteral(" %1 gave no locator and %2 not on the map.")
                        .arg(n == 1 ? QStringLiteral("1 receiver") : QStringLiteral("%1 receivers").arg(n),
                             n == 1 ? QStringLiteral("is") : QStringLiteral("are"));
    }
    if (!m_band.isEmpty())
        text += QStringLiteral(" Showing ") + m_band + QStringLiteral(" alone.");
    if (m_querying)
        text += QStringLiteral(" Reading the report archive...");
    statusLabel->setText(text);
}

void ReachWindow::exportReports()
{
    if (m_exporting)
        return;
    const QString suggested = QDir::current().filePath(QStringLiteral("TavikReach-") + periodKey(m_period) + u'-'
                                                       + Clock::nowUtc().toString(QStringLiteral("yyyyMMdd-hhmm"))
                                                       + QStringLiteral(".csv"));
    FileDialogs::saveFileName(
        this, {QStringLiteral("Export the period's reports"), suggested, QStringLiteral("CSV files (*.csv)")},
        [this](const QString &fileName) { exportTo(fileName); });
}

void ReachWindow::exportTo(const QString &fileName)
{
    if (m_exporting)
        return;
    m_exporting = true;
    showExportRunning(exportButton, statusLabel, fileName);
    const ArchivePeriod period = archivePeriod(m_period, Clock::nowUtc().toSecsSinceEpoch());
    const std::optional<GeoPosition> home = m_home;
    if (!m_exports)
        m_exports = std::make_unique<ArchiveWorker>(*m_environment.archive);
    submitExport(
        *m_exports, this, fileName,
        [period, home](ArchiveReader &reader, const CancelFlag &, QIODevice &file) {
            ReportCsvWriter writer(file, home);
            reader.forEachReport(period, [&writer](const ArchivedReport &r) { writer.write(r); });
            return writer.rows();
        },
        [this, fileName](qint64 rows) { exportDone(rows, fileName); },
        [this](const QString &error) { exportFailed(error); });
}

void ReachWindow::exportDone(qint64 rows, const QString &fileName)
{
    m_exporting = false;
    showExportDone(exportButton, statusLabel, fileName, rows, QStringLiteral("report"), QStringLiteral("reports"));
    emit exportEnded();
}

void ReachWindow::exportFailed(const QString &error)
{
    m_exporting = false;
    exportButton->setEnabled(true);
    showStatus();
    Dialogs::showError(error);
    emit exportEnded();
}

void ReachWindow::setLinkState(const QString &text)
{
    m_linkState = text;
    showLink();
}

void ReachWindow::setCallsignNote(const QString &text)
{
    m_callsignNote = text;
    showLink();
}

void ReachWindow::showLink()
{
    QStringList lines;
    if (!m_linkState.isEmpty())
        lines << m_linkState;
    if (!m_callsignNote.isEmpty())
        lines << m_callsignNote;
    linkLabel->setText(lines.join(u'\n'));
    linkLabel->setVisible(!lines.isEmpty());
}

void ReachWindow::setLiveBand(const QString &band)
{
    m_liveBand = band;
    if (followLiveBand(followBandBox, band, m_band))
        selectBand(band);
}

void ReachWindow::followBandToggled(bool checked)
{
    keep(reachsettings::kFollowBand, checked ? QStringLiteral("1") : QStringLiteral("0"));
    if (checked && !m_liveBand.isEmpty() && m_liveBand != m_band)
        selectBand(m_liveBand);
}

void ReachWindow::refreshTransmissions()
{
    if (!m_transmissionReads)
        m_transmissionReads = std::make_unique<ArchiveWorker>(*m_environment.archive);
    const QString home = m_homeLocator;
    m_transmissionReads->submit(
        {[this, home](ArchiveReader &reader, const CancelFlag &) {
             QList<TransmissionSummary> list = reader.transmissions(kTransmissionsShown, home);
             QMetaObject::invokeMethod(
                 this, [this, list = std::move(list)] { fillTransmissionTable(transmissionTable, list, m_unit); },
                 Qt::QueuedConnection);
         },
         [this](const QString &error) {
             QMetaObject::invokeMethod(
                 this, [this, error] { statusLabel->setText(QStringLiteral("Transmissions: ") + error); },
                 Qt::QueuedConnection);
         }});
}

void ReachWindow::setLiveGrid(const QString &grid)
{
    if (grid == m_liveGrid)
        return;
    m_liveGrid = grid;
    const QString before = m_homeLocator;
    readHomeLocator();
    if (m_homeLocator != before)
        refresh();
}
