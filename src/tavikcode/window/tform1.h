#pragma once

#include "compare/referencequeries.h"
#include "base/programstate.h"
#include "geo/geodesy.h"
#include "retrieval/endpoints.h"
#include "platform/settingsstore.h"
#include "processing/reportline.h"

#include <QDateTime>
#include <QHash>
#include <QHostAddress>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class AddressWatcher;
class AlertCentre;
class AlertJudge;
class AlertSettingsDialog;
class AlertsWindow;
class ArchiveReader;
class ArchiveReaders;
class ArchiveWorker;
struct AlertSettings;
class ColourBar;
class CompareWindow;
class HttpClient;
struct HttpResult;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTimer;
class ReachWindow;
class ReportArchive;
class ShapeBox;
struct Transmission;
class WsjtxMonitor;

// What the window takes from its surroundings; tests pass their own.
struct TForm1Environment
{
    std::unique_ptr<SettingsStore> store;    // default: the platform's store
    std::function<QString()> localAddress;   // default: programAddressLookup()
    QStringList arguments;                   // command-line parameters, program name excluded
    QString programFile;                     // default: this program's file
    std::optional<Endpoints> endpoints;      // default: from the environment
    std::function<std::unique_ptr<ArchiveReader>()> archiveReader; // default: the archive in the working folder
};

// The one window of the program. Its handlers and procedures live in the
// subsystem folders beside it (shell/, retrieval/, processing/, views/,
// cycle/); all of them read and write the program state `state` and the
// controls directly, on the user-interface thread.
class TForm1 : public QWidget
{
    Q_OBJECT

public:
    explicit TForm1(TForm1Environment environment = {}, QWidget *parent = nullptr);
    ~TForm1() override;

    ProgramState state;

    // Controls, named as the program names them.
    QLabel *Label11, *Label1, *Label6, *Label3, *Label8, *Label9, *Label7, *Label4, *Label13, *Label12;
    QLabel *Label2, *Label5, *Label14, *Label15;
    QPushButton *Button6, *Button5, *Button1, *Button7;
    QLineEdit *Edit3, *Edit5, *Edit1, *Edit4;
    ShapeBox *Shape1, *Shape2;
    ColourBar *ProgressBar1;
    QComboBox *ComboBox1;
    QCheckBox *CheckBox1;
    QPlainTextEdit *RichEdit1, *RichEdit3;
    QTableWidget *StringGrid1;
    QFrame *Panel1;
    // Never seen: its accessible name tells a screen reader what the last pass brought.
    QLabel *passStatus = nullptr;
    QTimer *Timer1;
    AddressWatcher *IdIPWatch1;
    HttpClient *IdHTTP1 = nullptr;

    // How long each request may take in all, however slowly its answer
    // trickles in; the client's inactivity timeout applies besides.
    struct RequestDeadlines
    {
        std::chrono::milliseconds query{120'000}; // as long as a connection attempt may take
        std::chrono::milliseconds echo{30'000};
        std::chrono::milliseconds page{30'000};
    };
    RequestDeadlines deadlines;

    SettingsStore &store() { return *m_store; }
    const Endpoints &endpoints() const { return m_endpoints; }

    // --- Start-up, window and shutdown
    void FormCreate();
    void FormActivate();
    // The activation sequence as the window runs it when it first comes up:
    // an error that ends it is logged and shown in an error box.
    void runActivation();
    void FormResize();
    void FormClose();
    // "Close" and the tray's "Quit": the program ends (see endProgram).
    void Button1Click();
    // The system ends the program (a signal, the end of the session): it
    // closes as "Close" does, and no box waits for anyone; while closing is
    // already under way it ends at once.
    void closeFromOutside();
    void FormDragDrop();
    static void ClearGridRows(QTableWidget *grid, bool clear);

    // --- Settings
    void LoadSettings();
    void SaveSettings();
    void ResetSettings();

    // --- Operator callsign
    void takeOverWsjtxSettings();
    void ReadCallsign();
    void PollCallsignEntry();
    void Edit4KeyPress(QChar key);

    // --- Connectivity
    void CheckConnection();
    void IdIPWatch1StatusChanged();
    void connectAtActivation();
    void refreshConnectivity();
    void showConnectivity();

    // --- Report query
    // Starts the query; it ends in reportsAnswered when the answer is in.
    void QueryReports();
    void Button6Click();
    void Edit5KeyPress(QChar key);
    // Whether a request besides the operator's own query (the version page,
    // a reference station's) may go out now: online, the client free, at
    // least distance after the own query started, and both its deadline and
    // the distance over before the own query falls due, so that it never
    // holds that up.
    bool sideRequestFits(std::chrono::milliseconds deadline, std::chrono::seconds distance) const;

    // --- Version check and update notice
    void writeVersionFile();
    // Asks for the maker's version page; then runs once the page is saved, or
    // the request failed or was not made.
    void FetchVersionInfo(std::function<void()> then = {});
    void readVersionPageAndNotify();
    void checkBuildNumber();
    // Whether the version check may run now; it is due once a start.
    bool versionCheckFits() const;
    void Label15Click();

    // --- Response processing and history files
    void ProcessResponse();
    void ClearHistoryFiles();
    void Button7Click();

    // --- Report archive
    void openArchive();
    void archiveFailed(const QString &message);
    void archiveWaiting(qint64 reports);
    ReportArchive &archive() { return *m_archive; }

    // --- Views
    void ShowReports();
    void SortAndShowReports();
    void ShowActiveStations();
    void ShowGrids();
    void ComboBox1Change();
    void ShowReportTable();
    void LoadGridFromCsv(const QString &fileName, QTableWidget *grid);
    void CheckBox1Click();
    void FindMatches();
    void Edit3KeyPress(QChar key);
    void Edit3Click();
    void RichEdit3MouseDown();
    void Button5Click();

    // --- The Reach window
    void openReachWindow();
    void openReachAtStart();
    // The list view's context menu, its own entries and "Reach...".
    QMenu *createListMenu(const QPoint &position);
    void RichEdit1ContextPopup(const QPoint &position);
    ReachWindow *reachWindow() const;

    // --- The Compare window and the reference stations
    void openCompareWindow();
    void openCompareAtStart();
    CompareWindow *compareWindow() const;
    // The stored reference stations and their interval (TavikCompareCalls,
    // TavikCompareInterval); the Compare window changes them later.
    void loadReferences();
    // Asks the report service for the reference station that is due, when a
    // side request fits; its reports go to the report archive only. A failed
    // query is logged once per fault and tried again at its next turn.
    void QueryReferences();
    const ReferenceQueries &referenceQueries() const { return m_referenceQueries; }

    // --- Alerts, the tray icon and the alert settings
    void createAlerts();
    AlertCentre &alerts();
    // The alert rules the archive runs over a store's new reports: those of
    // the next pass (the first after a start or "Clr Files" catches up), or
    // those of the opening.
    std::shared_ptr<AlertJudge> alertJudge();
    std::shared_ptr<AlertJudge> openingJudge();
    std::optional<GeoPosition> alertHome();
    QString alertHomeGrid();
    // The tray menu's entries, in the list view's menu too.
    void addAlertEntries(QMenu *menu);
    void openAlertsWindow();
    void readAlertList();
    void openAlertSettings();
    void applyAlertSettings(AlertSettings chosen);
    // The Reach window on a band (empty: every band) and the shortest period holding the time.
    void openReachOn(const QString &band, qint64 time);
    AlertsWindow *alertsWindow() const;
    AlertSettingsDialog *alertSettingsDialog() const;

    // --- The digital-mode program (WSJT-X's UDP messages)
    void createDigitalModeLink();
    // Listens as the settings say (again after they change); stops when off.
    void startDigitalModeLink();
    // A copy of the program is followed now.
    bool digitalModeLive() const;
    // Its DE grid when it is a locator.
    QString liveHomeGrid() const;
    // The copies or the running transmission changed: the tray, the alerts
    // and the side windows follow.
    void digitalModeChanged();
    void transmissionEnded(const Transmission &transmission);
    void readLastTransmission();
    // A reference station's reports, for the alert that tells "me or the band".
    void referenceReportsHeard(const QString &reference, const QList<AnswerReport> &reports);
    WsjtxMonitor &digitalMode();

    // --- What assistive technology reads
    void nameControls();
    // The clock and sequence labels named with their captions ("Last query 14:30:02").
    void nameClockLabels();
    // "12 new reports, latest CT4GOE +10 dB on 40 m" of the answer's report lines.
    static QString passStatusText(const QList<AnswerReport> &reports);
    void announcePass(const QList<AnswerReport> &reports);

    // --- The one-second tick
    void Timer1Timer();
    // Processes a rewritten TavikRep.txt and redraws after a rewritten history.
    void checkWatchedFiles();
    // The tick as the timer runs it: an error ends the tick and is contained.
    void runTick();

    // The developer's own callsign, which reveals the debug controls.
    static const QString kDeveloperCallsign;
    // The maker's mark in the caption.
    static const QString kMakerMark;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void connectHandlers();
    // Every close request ends here: the boxes and the other windows close,
    // the tray icon goes, the settings are saved and the archive finished,
    // and the event loop ends with status 0. A fault of the closing is
    // logged; when the operator closed from the window it shows in a box
    // that ends the program as it closes (a signal ends it at once).
    void endProgram(bool fromOutside);
    void closeOtherWindows();

    // Runs a handler for a user action: an error ends it, is logged and shown
    // in an error box, and the window stays up.
    void userAction(const std::function<void()> &handler);
    // Runs a tick's work: an error ends it and is logged and shown once per
    // fault, however many ticks it lasts. True when it ran through.
    bool tickAction(const std::function<void()> &handler);
    void reportHandlerError(const QString &message, bool fromTick);

    // The query's continuation once its answer is in, and its two endings.
    void reportsAnswered(const HttpResult &result, const QString &remembered);
    void queryFailed(const QString &message);
    void endQuery(const QString &remembered);
    void echoAnswered(const HttpResult &result);
    void versionPageAnswered(const HttpResult &result);
    void referenceAnswered(const HttpResult &result, const QString &callsign);

    std::unique_ptr<SettingsStore> m_store;
    QStringList m_refusedAddresses; // told once the window is created
    Endpoints m_endpoints;
    QStringList m_arguments;
    QString m_programFile;
    bool m_activated = false;
    bool m_versionCheckDue = false;
    QPointer<QObject> m_errorBox;    // the error box of a failed handler, while it is up
    QString m_lastTickError;
    QString m_lastEchoError;
    QPointer<QObject> m_webErrorBox; // the failed query's box, while it is up
    bool m_closing = false; // the window is closing: requests cut short are no news
    bool m_ending = false;  // endProgram has run
    std::unique_ptr<ArchiveReaders> m_archiveReaders; // the one reader the side windows and the alert list share
    QPointer<ReachWindow> m_reach;
    QPointer<CompareWindow> m_compare;
    QString m_referenceCalls;             // as kept: up to three, comma-separated
    int m_referenceInterval = kDefaultIntervalMinutes;
    ReferenceQueries m_referenceQueries;
    QHash<QString, QString> m_referenceFaults; // by reference: the fault logged last
    ReportArchive *m_archive = nullptr;
    AlertCentre *m_alerts = nullptr;
    QDateTime m_waitingLogged; // UTC: when the reports waiting in the journal were last logged
    QPointer<AlertsWindow> m_alertsWindow;
    std::unique_ptr<ArchiveWorker> m_alertList; // reads the Alerts window's list on the shared reader
    QPointer<AlertSettingsDialog> m_alertSettings;
    QSet<QString> m_archiveFaultsShown; // this start
    WsjtxMonitor *m_wsjtx = nullptr;
    QHostAddress m_linkAddress;
    quint16 m_linkPort = 0;
    QSet<QString> m_linkProblemsShown; // this start
    QString m_lastTransmissionLine;    // the tray's first line
    std::unique_ptr<ArchiveWorker> m_transmissionReads;
    bool m_alertsCatchUp = true; // the next pass is the first after a start or "Clr Files"
};
