#include "comparewindow.h"

#include "base/clock.h"
#include "comparechart.h"
#include "comparecolours.h"
#include "comparemap.h"
#include "comparesettings.h"
#include "pairscsv.h"
#include "platform/freememory.h"
#include "archive/exportjob.h"
#include "parts/followband.h"
#include "parts/exportstatus.h"
#include "geo/homelocator.h"
#include "geo/locator.h"
#include "parts/accessibility.h"
#include "parts/placewindow.h"
#include "referencequeries.h"
#include "shell/dialogs.h"
#include "shell/filedialogs.h"
#include "platform/settingsstore.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum CompareColumn { BandColumn, BothColumn, OnlyOperatorColumn, OnlyReferenceColumn, PairsColumn, PairedColumn,
                     DifferenceColumn, ColumnCount };

const QColor kComparisonProblem(0xC0, 0x00, 0x00);

QTableWidgetItem *tableCell(const QString &text, bool number = false)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QLabel *plainLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// The refresh and the export each hold a period's reports while they work,
// one after the other, never both at once; a cancelled one stops waiting.
std::unique_lock<std::timed_mutex> holdGate(std::timed_mutex &gate, const CancelFlag &cancel)
{
    std::unique_lock held(gate, std::defer_lock);
    while (!held.try_lock_for(std::chrono::milliseconds(20)))
        cancel.check();
    return held;
}

// A callsign in a file name: letters and digits, anything else a dash.
QString fileNamePart(const QString &text)
{
    QString part = text;
    for (QChar &c : part) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128))
            c = u'-';
    }
    return part;
}

} // namespace

CompareWindow::CompareWindow(CompareWindowEnvironment environment, QWidget *parent)
    : QWidget(parent, Qt::Window), m_environment(std::move(environment)),
      m_operator(m_environment.callsign.trimmed().toUpper()), m_kept(m_environment.store, comparesettings::kSection, Dialogs::showError)
{
    setObjectName(QStringLiteral("CompareWindow"));
    setWindowTitle(m_operator.isEmpty() ? QStringLiteral("Compare - TavikRepView")
                                        : QStringLiteral("Compare ") + m_operator + QStringLiteral(" - TavikRepView"));
    setMinimumSize(640, 480);
    exposeAsWindow(this);
    createControls();
    loadSettings();
    readHomeLocator();
    connect(qApp, &QCoreApplication::aboutToQuit, this, &CompareWindow::savePlacement);
    refresh();
}

CompareWindow::~CompareWindow()
{
    // The workers end first (a running job is cancelled): a result they
    // still post finds no window.
    m_queries.reset();
    m_exports.reset();
    // QWidget's destructor hides the window, and the edit holding the focus
    // then finishes its editing: no slot of a window half gone may hear it.
    referencesEdit->disconnect(this);
}

QList<ReachPeriod> CompareWindow::periods()
{
    return {ReachPeriod::Last6Hours, ReachPeriod::Last24Hours, ReachPeriod::Last7Days, ReachPeriod::Last30Days,
            ReachPeriod::All};
}

void CompareWindow::createControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);

    auto *stations = new QHBoxLayout;
    referencesEdit = new QLineEdit(this);
    referencesEdit->setObjectName(QStringLiteral("referencesEdit"));
    referencesEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9/, ]{0,80}")), referencesEdit));
    referencesEdit->setPlaceholderText(QStringLiteral("e.g. K1ABC, K1ABC/P"));
    referencesEdit->setToolTip(
        QStringLiteral("Up to three stations to compare with, separated by commas; press Enter.\n"
                       "Each is asked of the report service now and then, as your own callsign is."));
    referenceBox = new QComboBox(this);
    referenceBox->setObjectName(QStringLiteral("referenceBox"));
    referenceBox->setMinimumContentsLength(10);
    intervalBox = new QSpinBox(this);
    intervalBox->setObjectName(QStringLiteral("intervalBox"));
    intervalBox->setRange(kMinIntervalMinutes, kMaxIntervalMinutes);
    intervalBox->setSuffix(QStringLiteral(" min"));
    intervalBox->setToolTip(QStringLiteral("How often each reference station is asked of the report service"));
    stations->addWidget(labelFor(QStringLiteral("References:"), referencesEdit));
    stations->addWidget(referencesEdit, 1);
    stations->addWidget(labelFor(QStringLiteral("Compare with:"), referenceBox));
    stations->addWidget(referenceBox);
    stations->addWidget(labelFor(QStringLiteral("Ask every"), intervalBox));
    intervalBox->setAccessibleName(QStringLiteral("Ask each reference every"));
    stations->addWidget(intervalBox);
    layout->addLayout(stations);

    auto *bar = new QHBoxLayout;
    periodBox = new QComboBox(this);
    periodBox->setObjectName(QStringLiteral("periodBox"));
    for (ReachPeriod p : periods())
        periodBox->addItem(periodLabel(p), periodKey(p));
    windowBox = new QComboBox(this);
    windowBox->setObjectName(QStringLiteral("windowBox"));
    for (PairingWindow w : pairingWindows())
        windowBox->addItem(pairingWindowLabel(w), pairingWindowKey(w));
    windowBox->setToolTip(QStringLiteral(
        "Same cycle: for two transmitters on the air together, at most half the mode's transmit period apart "
        "(7.5 s FT8, 3.75 s FT4, 1 min WSPR and FST4W, 30 s JT65, JT9 and others).\nMinutes: for stations that "
        "take turns."));
    allBandsButton = new QPushButton(QStringLiteral("All bands"), this);
    allBandsButton->setObjectName(QStringLiteral("allBandsButton"));
    exportButton = new QPushButton(QStringLiteral("Export pairs..."), this);
    exportButton->setObjectName(QStringLiteral("exportButton"));
    exportButton->setToolTip(QStringLiteral("Save every pair of the period as a CSV file"));
    bar->addWidget(labelFor(QStringLiteral("Period:"), periodBox));
    bar->addWidget(periodBox);
    bar->addWidget(labelFor(QStringLiteral("Pairs within:"), windowBox));
    bar->addWidget(windowBox);
    followBandBox = createFollowBandBox(this);
    bar->addStretch(1);
    bar->addWidget(followBandBox);
    bar->addWidget(allBandsButton);
    bar->addWidget(exportButton);
    layout->addLayout(bar);

    noteLabel = plainLabel(QString(), this);
    noteLabel->setObjectName(QStringLiteral("noteLabel"));
    noteLabel->setWordWrap(true);
    layout->addWidget(noteLabel);
    statusLabel = plainLabel(QString(), this);
    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    statusLabel->setWordWrap(true);
    // Two lines always: a status that changes length moves nothing below it
    // (the map would be drawn anew at every question).
    statusLabel->setFixedHeight(2 * fontMetrics().lineSpacing() + 2);
    statusLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(statusLabel);

    bandTable = new QTableWidget(0, ColumnCount, this);
    bandTable->setObjectName(QStringLiteral("bandTable"));
    bandTable->verticalHeader()->hide();
    bandTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    bandTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    bandTable->setSelectionMode(QAbstractItemView::SingleSelection);
    bandTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    bandTable->horizontalHeader()->setStretchLastSection(true);
    bandTable->setAccessibleName(QStringLiteral("Bands"));
    bandTable->setAccessibleDescription(QStringLiteral(
        "Receivers heard by both stations or one, pairs and the median difference of each band; Enter shows the band "
        "alone"));
    // Tab leaves the table; the arrows move inside it.
    bandTable->setTabKeyNavigation(false);

    map = new CompareMap(this);
    chart = new CompareChart(this);
    auto *pictures = new QSplitter(Qt::Horizontal, this);
    pictures->addWidget(map);
    pictures->addWidget(chart);
    pictures->setStretchFactor(0, 3);
    pictures->setStretchFactor(1, 2);
    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(bandTable);
    split->addWidget(pictures);
    split->setSizes({200, 500});
    split->setChildrenCollapsible(false);
    layout->addWidget(split, 1);

    connect(referencesEdit, &QLineEdit::editingFinished, this, &CompareWindow::referencesEntered);
    connect(referenceBox, &QComboBox::activated, this, &CompareWindow::choicesChanged);
    connect(periodBox, &QComboBox::activated, this, &CompareWindow::choicesChanged);
    connect(windowBox, &QComboBox::activated, this, &CompareWindow::choicesChanged);
    connect(intervalBox, &QSpinBox::valueChanged, this,
            [this](int minutes) {
                keep(comparesettings::kInterval, QString::number(minutes));
                emit intervalChanged(minutes);
            });
    connect(allBandsButton, &QPushButton::clicked, this, [this] { selectBand(QString()); });
    connect(followBandBox, &QCheckBox::toggled, this, [this](bool checked) {
        keep(comparesettings::kFollowBand, checked ? QStringLiteral("1") : QStringLiteral("0"));
        if (checked && !m_liveBand.isEmpty() && m_liveBand != m_band)
            selectBand(m_liveBand);
    });
    connect(exportButton, &QPushButton::clicked, this, &CompareWindow::exportPairs);
    const auto bandChosen = [this](int row) {
        selectBand(m_data && row < m_data->bands.size() ? m_data->bands[row].band : QString());
    };
    connect(bandTable, &QTableWidget::cellClicked, this, bandChosen);
    connect(bandTable, &QTableWidget::cellActivated, this, bandChosen);
    fillTable(); // its column headers, before any figures

}

void CompareWindow::loadSettings()
{
    using namespace comparesettings;
    const SettingsStore &s = *m_environment.store;
    // A value that is no text (a list written by hand without quotes) counts as none.
    const auto read = [&s](const QString &ident) {
        try {
            return s.ReadString(kSection, ident, QString());
        } catch (const std::exception &) {
            return QString();
        }
    };
    placeWindow(*this, QSize(1000, 720), keptPlacement(s, kSection, kLeft, kTop, kWidth, kHeight));
    m_references = referenceCallsigns(read(kCalls), m_operator);
    referencesEdit->setText(m_references.join(QStringLiteral(", ")));
    const QString chosen = read(kReference);
    m_reference = m_references.contains(chosen) ? chosen : m_references.value(0);
    fillReferenceBox();
    {
        const QSignalBlocker quiet(intervalBox);
        intervalBox->setValue(referenceInterval(read(kInterval)));
    }
    const std::optional<ReachPeriod> period = periodFromKey(read(kPeriod));
    m_period = period && periods().contains(*period) ? *period : ReachPeriod::Last24Hours;
    periodBox->setCurrentIndex(int(periods().indexOf(m_period)));
    m_window = pairingWindowFromKey(read(kWindow)).value_or(PairingWindow::SameCycle);
    windowBox->setCurrentIndex(int(pairingWindows().indexOf(m_window)));
    m_band = read(kBand);
    allBandsButton->setEnabled(!m_band.isEmpty());
    {
        const QSignalBlocker quiet(followBandBox);
        followBandBox->setChecked(read(kFollowBand) == QStringLiteral("1"));
    }
}

void CompareWindow::setLiveBand(const QString &band)
{
    m_liveBand = band;
    if (followLiveBand(followBandBox, band, m_band))
        selectBand(band);
}

void CompareWindow::readHomeLocator()
{
    // As the Reach window finds it; without one the window still compares,
    // without directions.
    m_home = locatorPosition(m_liveGrid.isEmpty() ? homeLocator(*m_environment.store, m_environment.wsjtxSettingsFile).grid
                                                  : m_liveGrid);
}

void CompareWindow::setLiveGrid(const QString &grid)
{
    if (grid == m_liveGrid)
        return;
    m_liveGrid = grid;
    const std::optional<GeoPosition> before = m_home;
    readHomeLocator();
    if (!(m_home.has_value() == before.has_value()
          && (!m_home || (m_home->latitude == before->latitude && m_home->longitude == before->longitude))))
        refresh();
}

void CompareWindow::keep(const QString &ident, const QString &value)
{
    m_kept.keep(ident, value);
}

void CompareWindow::savePlacement()
{
    using namespace comparesettings;
    m_kept.keepPlacement(*this, kLeft, kTop, kWidth, kHeight);
}

void CompareWindow::closeEvent(QCloseEvent *event)
{
    savePlacement();
    event->accept();
}

void CompareWindow::fillReferenceBox()
{
    const QSignalBlocker quiet(referenceBox);
    referenceBox->clear();
    referenceBox->addItems(m_references);
    referenceBox->setCurrentIndex(int(m_references.indexOf(m_reference)));
    referenceBox->setEnabled(!m_references.isEmpty());
}

void CompareWindow::referencesEntered()
{
    const QString typed = referencesEdit->text();
    const QStringList callsigns = referenceCallsigns(typed, m_operator);
    referencesEdit->setText(callsigns.join(QStringLiteral(", ")));
    // Say what was left out rather than drop it silently.
    QStringList asTyped;
    for (const QString &part : typed.split(u',')) {
        if (!part.trimmed().isEmpty())
            asTyped << part.trimmed().toUpper();
    }
    asTyped.removeDuplicates();
    noteLabel->setText(asTyped.size() > callsigns.size()
                           ? QStringLiteral("At most three reference stations, none of them your own callsign: "
                                            "kept ")
                               + (callsigns.isEmpty() ? QStringLiteral("none") : callsigns.join(QStringLiteral(", ")))
                               + u'.'
                           : QString());
    noteLabel->setVisible(!noteLabel->text().isEmpty());
    if (callsigns == m_references)
        return;
    m_references = callsigns;
    keep(comparesettings::kCalls, callsigns.join(u','));
    if (!m_references.contains(m_reference)) {
        m_reference = m_references.value(0);
        keep(comparesettings::kReference, m_reference);
    }
    fillReferenceBox();
    emit referencesChanged(m_references);
    refresh();
}

void CompareWindow::choicesChanged()
{
    using namespace comparesettings;
    const QString reference = m_references.value(referenceBox->currentIndex());
    const ReachPeriod period = periods().value(periodBox->currentIndex(), m_period);
    const PairingWindow window = pairingWindows().value(windowBox->currentIndex(), m_window);
    if (reference == m_reference && period == m_period && window == m_window)
        return;
    m_reference = reference;
    m_period = period;
    m_window = window;
    keep(kReference, m_reference);
    keep(kPeriod, periodKey(m_period));
    keep(kWindow, pairingWindowKey(m_window));
    refresh();
}

void CompareWindow::selectBand(const QString &band)
{
    m_band = band;
    keep(comparesettings::kBand, band);
    allBandsButton->setEnabled(!band.isEmpty());
    showChartAndMap();
    fillTable();
    showStatus();
}

void CompareWindow::refresh()
{
    const quint64 generation = ++m_generation;
    m_error.clear();
    if (m_operator.isEmpty() || m_reference.isEmpty()) {
        // Nothing to ask: what there was goes, and the status says why.
        m_querying = false;
        m_data.reset();
        m_dataReference.clear();
        showChartAndMap();
        fillTable();
        showStatus();
        emit refreshed();
        return;
    }
    const ArchivePeriod period = archivePeriod(m_period, Clock::nowUtc().toSecsSinceEpoch());
    const QString reference = m_reference;
    const QString own = m_operator;
    const PairingWindow window = m_window;
    const std::optional<GeoPosition> home = m_home;
    m_querying = true;
    if (!m_queries)
        m_queries = std::make_unique<ArchiveWorker>(*m_environment.archive);
    // A newer question cancels this one: its flag stops the reader's SQL and
    // the pairing's loops at once.
    m_queries->submit(
        {[this, generation, period, own, reference, window, home, gate = m_readGate](ArchiveReader &reader,
                                                                                     const CancelFlag &cancel) {
             const std::unique_lock held = holdGate(*gate, cancel);
             auto reports = std::make_shared<const ComparisonReports>(
                 reader.comparison(period, own, reference, pairingReachSeconds(window)));
             cancel.check();
             auto data = std::make_shared<const CompareData>(
                 prepareComparison(std::move(reports), window, home, KeepPairs::No, &cancel));
             // The month's reports and working copies are given back here,
             // not on the user-interface thread.
             reports.reset();
             returnFreedMemory();
             QMetaObject::invokeMethod(
                 this, [this, generation, data, reference] { queryDone(generation, data, reference); },
                 Qt::QueuedConnection);
         },
         [this, generation](const QString &error) {
             QMetaObject::invokeMethod(
                 this, [this, generation, error] { queryFailed(generation, error); }, Qt::QueuedConnection);
         }});
    showStatus();
}

void CompareWindow::queryDone(quint64 generation, std::shared_ptr<const CompareData> data, const QString &reference)
{
    if (generation != m_generation)
        return; // a newer question is on its way
    m_querying = false;
    m_error.clear();
    // The figures and the name they go with change together: a failed
    // question leaves both as they were.
    m_dataReference = reference;
    showData(std::move(data));
    emit refreshed();
}

void CompareWindow::queryFailed(quint64 generation, const QString &error)
{
    if (generation != m_generation)
        return;
    m_querying = false;
    m_error = error;
    showStatus();
    emit refreshed();
}

void CompareWindow::showData(std::shared_ptr<const CompareData> data)
{
    m_data = std::move(data);
    showChartAndMap();
    fillTable();
    showStatus();
}

void CompareWindow::showChartAndMap()
{
    std::optional<CompareRow> row;
    QString band; // the band shown: none when the one chosen has no row in this period
    if (m_data) {
        row = m_data->total;
        for (const CompareRow &r : m_data->bands) {
            if (!m_band.isEmpty() && r.band == m_band) {
                row = r;
                band = m_band;
            }
        }
    }
    map->setData(m_data, m_operator, m_dataReference);
    map->setBand(band);
    chart->setRow(row, m_home.has_value(), m_operator, m_dataReference);
}

void CompareWindow::fillTable()
{
    QStringList headers = {QStringLiteral("Band"),
                           QStringLiteral("Heard both"),
                           QStringLiteral("Only ") + m_operator,
                           QStringLiteral("Only ") + m_dataReference,
                           QStringLiteral("Pairs"),
                           QStringLiteral("Receivers paired"),
                           m_operator + QStringLiteral(" \u2212 ") + m_dataReference};
    bandTable->setUpdatesEnabled(false);
    bandTable->setHorizontalHeaderLabels(headers);
    bandTable->horizontalHeaderItem(DifferenceColumn)
        ->setToolTip(QStringLiteral("The median over receivers of each receiver's median difference in dB (medians "
                                    "of grouped data: each whole dB stands for the decibel around it), with its 95% "
                                    "interval (bootstrap over receivers);\n\"too few\" below 10 receivers or 30 "
                                    "pairs. All bands (pooled): each receiver once, its pairs of every band "
                                    "together. Positive: ")
                     + m_operator + QStringLiteral(" louder."));
    bandTable->clearContents();
    const qsizetype bands = m_data ? m_data->bands.size() : 0;
    bandTable->setRowCount(m_data ? int(bands) + 1 : 0);
    for (qsizetype row = 0; m_data && row <= bands; ++row) {
        const bool total = row == bands;
        const CompareRow &r = total ? m_data->total : m_data->bands[row];
        const auto put = [&](int column, QTableWidgetItem *item) { bandTable->setItem(int(row), column, item); };
        put(BandColumn, tableCell(total ? QStringLiteral("All bands (pooled)") : r.band));
        put(BothColumn, tableCell(QString::number(r.heardBoth), true));
        put(OnlyOperatorColumn, tableCell(QString::number(r.onlyOperator), true));
        put(OnlyReferenceColumn, tableCell(QString::number(r.onlyReference), true));
        put(PairsColumn, tableCell(QString::number(r.difference.pairs), true));
        put(PairedColumn, tableCell(QString::number(r.difference.receivers), true));
        QTableWidgetItem *difference = tableCell(differenceText(r.difference));
        if (r.difference.median && !r.difference.tooFew() && *r.difference.median != 0)
            difference->setForeground(*r.difference.median > 0 ? operatorColour() : referenceColour());
        put(DifferenceColumn, difference);
        if (total) {
            for (int column = 0; column < ColumnCount; ++column) {
                QFont bold = bandTable->item(int(row), column)->font();
                bold.setBold(true);
                bandTable->item(int(row), column)->setFont(bold);
            }
        }
    }
    bandTable->clearSelection();
    for (qsizetype row = 0; m_data && row < bands; ++row) {
        if (m_data->bands[row].band == m_band)
            bandTable->selectRow(int(row));
    }
    bandTable->resizeColumnsToContents();
    bandTable->setUpdatesEnabled(true);
}

void CompareWindow::showStatus()
{
    QPalette p = statusLabel->palette();
    p.setColor(QPalette::WindowText, m_error.isEmpty() ? palette().color(QPalette::WindowText) : kComparisonProblem);
    statusLabel->setPalette(p);
    if (!m_error.isEmpty()) {
        statusLabel->setText(m_data && m_dataReference != m_reference
                                 ? m_error + QStringLiteral(" Still shown: ") + m_operator + QStringLiteral(" against ")
                                     + m_dataReference + u'.'
                                 : m_error);
        return;
    }
    if (m_operator.isEmpty()) {
        statusLabel->setText(QStringLiteral("Your callsign is not known yet: the main window asks for it."));
        return;
    }
    if (m_reference.isEmpty()) {
        statusLabel->setText(QStringLiteral(
            "No reference station yet: type up to three callsigns into \"References\" and press Enter. Each is "
            "then asked of the report service now and then, and its reports are kept in the report archive."));
        return;
    }
    QString text = periodLabel(m_period) + QStringLiteral(", pairs within ")
        + pairingWindowLabel(m_window).toLower() + QStringLiteral(": ");
    if (!m_data) {
        text += QStringLiteral("reading the report archive...");
    } else if (m_data->bands.isEmpty() && m_data->total.heardBoth + m_data->total.onlyOperator
                                                  + m_data->total.onlyReference
                                              == 0) {
        text += QStringLiteral("no band on which both ") + m_operator + QStringLiteral(" and ") + m_dataReference
            + QStringLiteral(" were heard at the same time.");
    } else {
        const DifferenceSummary &d = m_data->total.difference;
        text += QStringLiteral("%1 %2 from %3 receivers; above zero %4 is louder.")
                    .arg(d.pairs)
                    .arg(d.pairs == 1 ? QStringLiteral("pair") : QStringLiteral("pairs"))
                    .arg(d.receivers)
                    .arg(m_operator);
    }
    if (!m_band.isEmpty())
        text += QStringLiteral(" Showing ") + m_band + QStringLiteral(" alone.");
    if (!m_home)
        text += QStringLiteral(" Directions and distances need your locator (My Grid in WSJT-X, or typed into "
                               "the Reach window).");
    if (m_querying && m_data)
        text += QStringLiteral(" Reading the report archive...");
    statusLabel->setText(text);
}

void CompareWindow::exportPairs()
{
    if (m_exporting || m_operator.isEmpty() || m_reference.isEmpty())
        return;
    const QString suggested = QDir::current().filePath(
        QStringLiteral("TavikCompare-") + fileNamePart(m_operator) + u'-' + fileNamePart(m_reference) + u'-'
        + periodKey(m_period) + u'-' + pairingWindowKey(m_window) + u'-'
        + Clock::nowUtc().toString(QStringLiteral("yyyyMMdd-hhmm")) + QStringLiteral(".csv"));
    FileDialogs::saveFileName(this, {QStringLiteral("Export the pairs"), suggested, QStringLiteral("CSV files (*.csv)")},
                              [this](const QString &fileName) { exportTo(fileName); });
}

void CompareWindow::exportTo(const QString &fileName)
{
    // The choices shown when the file is picked: the window went on meanwhile.
    if (m_exporting || m_operator.isEmpty() || m_reference.isEmpty())
        return;
    m_exporting = true;
    showExportRunning(exportButton, statusLabel, fileName);
    const ArchivePeriod period = archivePeriod(m_period, Clock::nowUtc().toSecsSinceEpoch());
    const QString own = m_operator, reference = m_reference;
    const PairingWindow window = m_window;
    const std::optional<GeoPosition> home = m_home;
    if (!m_exports)
        m_exports = std::make_unique<ArchiveWorker>(*m_environment.archive);
    submitExport(
        *m_exports, this, fileName,
        [period, own, reference, window, home, gate = m_readGate](ArchiveReader &reader, const CancelFlag &cancel,
                                                                  QIODevice &file) {
            const std::unique_lock held = holdGate(*gate, cancel);
            auto reports = std::make_shared<const ComparisonReports>(
                reader.comparison(period, own, reference, pairingReachSeconds(window)));
            return writePairsCsv(file, prepareComparison(reports, window, home, KeepPairs::ForExport, &cancel));
        },
        [this, fileName](qint64 rows) { exportDone(rows, fileName); },
        [this](const QString &error) { exportFailed(error); });
}

void CompareWindow::exportDone(qint64 rows, const QString &fileName)
{
    m_exporting = false;
    showExportDone(exportButton, statusLabel, fileName, rows, QStringLiteral("pair"), QStringLiteral("pairs"));
    emit exportEnded();
}

void CompareWindow::exportFailed(const QString &error)
{
    m_exporting = false;
    exportButton->setEnabled(true);
    showStatus();
    Dialogs::showError(error);
    emit exportEnded();
}
