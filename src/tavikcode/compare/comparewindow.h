#pragma once

#include "comparedata.h"
#include "pairing.h"
#include "archive/archiveworker.h"
#include "parts/choicekeeper.h"
#include "archive/reachperiod.h"

#include <QStringList>
#include <QWidget>

#include <memory>
#include <mutex>
#include <optional>

class CompareChart;
class CompareMap;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class SettingsStore;

// What the Compare window takes from the program.
struct CompareWindowEnvironment
{
    SettingsStore *store = nullptr;         // the program's store; it outlives the window
    ArchiveReaders *archive = nullptr;      // the program's reader of the report archive; it outlives the window
    QString wsjtxSettingsFile;              // the working-folder copy of WSJT-X's settings
    QString callsign;                       // the operator's
};

// The Compare window: the operator's signal against a reference station's
// at the same receivers, from the report archive, for a chosen period and
// pairing window. Its work runs on a thread of its own; a newer question
// stops an older one, and the newest answer is shown.
class CompareWindow : public QWidget
{
    Q_OBJECT

public:
    explicit CompareWindow(CompareWindowEnvironment environment, QWidget *parent = nullptr);
    ~CompareWindow() override;

    // Controls, named after what they hold.
    QLineEdit *referencesEdit; // up to three callsigns, comma-separated
    QComboBox *referenceBox;   // the one compared with
    QSpinBox *intervalBox;     // minutes between two queries of one reference
    QComboBox *periodBox;
    QComboBox *windowBox;
    QPushButton *allBandsButton;
    QCheckBox *followBandBox; // the band follows the digital-mode program's
    QPushButton *exportButton;
    QLabel *noteLabel;         // what was left out of the references, or how to give a locator
    QLabel *statusLabel;
    QTableWidget *bandTable;
    CompareMap *map;
    CompareChart *chart;

    QStringList references() const { return m_references; }
    QString reference() const { return m_reference; }
    ReachPeriod period() const { return m_period; }
    PairingWindow pairingWindow() const { return m_window; }
    const QString &band() const { return m_band; }
    std::shared_ptr<const CompareData> data() const { return m_data; }
    // A question or an export is outstanding.
    bool isBusy() const { return m_querying || m_exporting; }

    // The periods the window offers.
    static QList<ReachPeriod> periods();

    // Shows prepared figures as a finished question would (benchmarks).
    void showData(std::shared_ptr<const CompareData> data);

public slots:
    // Asks the archive again; connect the archive's "a pass added reports" here.
    void refresh();
    // Only that band in the chart and on the map; empty: all bands together.
    void selectBand(const QString &band);
    // The digital-mode program's band (empty: none heard), which the window
    // follows while "Follow WSJT-X's band" is checked.
    void setLiveBand(const QString &band);
    // The program's DE grid while it is heard (empty: none): the home locator then.
    void setLiveGrid(const QString &grid);
    // Asks for a file and writes the pairs of the choices shown to it as CSV,
    // asking the archive again (the window keeps no pairs, only figures).
    void exportPairs();

signals:
    void refreshed();
    void exportEnded();
    // The references were changed in the window (the queries follow them).
    void referencesChanged(const QStringList &callsigns);
    // The minutes between two queries of one reference were changed.
    void intervalChanged(int minutes);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void loadSettings();
    void readHomeLocator();
    void savePlacement();
    void keep(const QString &ident, const QString &value);
    void referencesEntered();
    void fillReferenceBox();
    void choicesChanged();
    void fillTable();
    void showChartAndMap();
    void showStatus();
    void queryDone(quint64 generation, std::shared_ptr<const CompareData> data, const QString &reference);
    void queryFailed(quint64 generation, const QString &error);
    // Writes the pairs of the choices shown to the file picked.
    void exportTo(const QString &fileName);
    void exportDone(qint64 rows, const QString &fileName);
    void exportFailed(const QString &error);

    CompareWindowEnvironment m_environment;
    QString m_operator;
    std::unique_ptr<ArchiveWorker> m_queries;
    std::unique_ptr<ArchiveWorker> m_exports;
    // Held by the job of either that holds reports (see holdGate).
    std::shared_ptr<std::timed_mutex> m_readGate = std::make_shared<std::timed_mutex>();
    quint64 m_generation = 0;
    bool m_querying = false;
    bool m_exporting = false;
    QString m_error;
    ChoiceKeeper m_kept;

    QStringList m_references;
    QString m_reference;
    ReachPeriod m_period = ReachPeriod::Last24Hours;
    PairingWindow m_window = PairingWindow::SameCycle;
    QString m_band;
    QString m_liveBand;
    QString m_liveGrid;
    std::optional<GeoPosition> m_home;
    std::shared_ptr<const CompareData> m_data;
    QString m_dataReference; // the reference the data compares with
};
