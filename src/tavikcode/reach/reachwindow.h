#pragma once

#include "archive/archiveworker.h"
#include "parts/choicekeeper.h"
#include "geo/geodesy.h"
#include "reachdata.h"
#include "archive/reachperiod.h"
#include "reachtext.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

class BandHourView;
class QComboBox;
class QLabel;
class QLineEdit;
class QCheckBox;
class QPushButton;
class QTabWidget;
class QTableWidget;
class ReachMap;
class SettingsStore;

// What the Reach window takes from the program.
struct ReachWindowEnvironment
{
    SettingsStore *store = nullptr;         // the program's store; it outlives the window
    ArchiveReaders *archive = nullptr;      // the program's reader of the report archive; it outlives the window
    QString wsjtxSettingsFile;              // the working-folder copy of WSJT-X's settings
    QString callsign;                       // for the caption
};

// The Reach window: where the operator is heard, how far, on which band and
// when, from the report archive, for a chosen period. Its queries run on a
// thread of their own; the newest one's result is shown.
class ReachWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ReachWindow(ReachWindowEnvironment environment, QWidget *parent = nullptr);
    ~ReachWindow() override;

    // Controls, named after what they hold.
    QComboBox *periodBox;
    QComboBox *unitBox;
    QLineEdit *locatorEdit;
    QLabel *locatorNote;   // how to give a locator, or where it came from
    QPushButton *allBandsButton;
    QPushButton *exportButton;
    QLabel *statusLabel;
    QTableWidget *bandTable;
    ReachMap *map;
    BandHourView *chart;
    QCheckBox *followBandBox; // the band follows the digital-mode program's
    QLabel *linkLabel;        // the link's state, and a callsign that differs
    QTabWidget *tabs;         // "Reach" and "Transmissions"
    QTableWidget *transmissionTable;

    ReachPeriod period() const { return m_period; }
    DistanceUnit unit() const { return m_unit; }
    const QString &band() const { return m_band; }
    std::optional<GeoPosition> home() const { return m_home; }
    bool homeFromWsjtx() const { return m_homeFromWsjtx; }
    std::shared_ptr<const ReachData> data() const { return m_data; }
    // A query or an export is outstanding.
    bool isBusy() const { return m_querying || m_exporting; }

    // Shows prepared data as a query result would (benchmarks).
    void showData(std::shared_ptr<const ReachData> data);

public slots:
    // Asks the archive again for the chosen period; connect the archive's
    // "a pass added reports" signal here.
    void refresh();
    // Only that band on the map and the chart; empty: every band.
    void selectBand(const QString &band);
    // As if chosen in the period box (an alert opens the window on its period).
    void selectPeriod(ReachPeriod period);
    // Asks for a file (without waiting for the answer) and writes the period's reports to it as CSV.
    void exportReports();

    // The digital-mode program: its link's state ("WSJT-X: 20m FT8,
    // transmitting"; empty: not listening), a note when it sends as another
    // callsign, and its band (empty: none), which the window follows while
    // "Follow WSJT-X's band" is checked.
    void setLinkState(const QString &text);
    void setCallsignNote(const QString &text);
    void setLiveBand(const QString &band);
    // The program's DE grid while it is heard (empty: none): the home locator then.
    void setLiveGrid(const QString &grid);
    // Reads the transmissions again (after a pass or a transmission's end).
    void refreshTransmissions();

signals:
    // A query's result or failure is shown.
    void refreshed();
    // An export ended, written or failed.
    void exportEnded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void loadSettings();
    void savePlacement();
    void keep(const QString &ident, const QString &value);
    void readHomeLocator();
    void periodChanged();
    void unitChanged();
    void locatorEntered();
    void showLocatorNote(const QString &problem = {});
    void fillTable();
    void showStatus();
    void queryDone(quint64 generation, std::shared_ptr<const ReachData> data);
    void queryFailed(quint64 generation, const QString &error);
    void exportTo(const QString &fileName);
    void exportDone(qint64 rows, const QString &fileName);
    void exportFailed(const QString &error);
    void showLink();
    void followBandToggled(bool checked);

    ReachWindowEnvironment m_environment;
    std::unique_ptr<ArchiveWorker> m_queries;
    std::unique_ptr<ArchiveWorker> m_exports;
    std::unique_ptr<ArchiveWorker> m_transmissionReads;
    QString m_linkState;
    QString m_callsignNote;
    QString m_liveBand;
    QString m_liveGrid;
    quint64 m_generation = 0;
    bool m_querying = false;
    bool m_exporting = false;
    QString m_error;          // of the last query, while it lasts
    ChoiceKeeper m_kept;

    ReachPeriod m_period = ReachPeriod::Last24Hours;
    DistanceUnit m_unit = DistanceUnit::Kilometres;
    QString m_band;
    std::optional<GeoPosition> m_home;
    QString m_homeLocator;
    bool m_homeFromWsjtx = false;
    std::shared_ptr<const ReachData> m_data;
};
