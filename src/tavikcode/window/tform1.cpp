#include "tform1.h"

#include "alerts/alertcentre.h"
#include "alerts/alertsettingsdialog.h"
#include "alerts/alertswindow.h"
#include "compare/comparewindow.h"
#include "archive/archivereader.h"
#include "archive/archiveworker.h"
#include "base/clock.h"
#include "base/filenames.h"
#include "archive/reportarchive.h"
#include "platform/addresswatcher.h"
#include "reach/reachwindow.h"
#include "retrieval/httpclient.h"
#include "shell/dialogs.h"
#include "shell/log.h"
#include "shell/settingnames.h"
#include "base/tavikerror.h"
#include "base/textops.h"
#include "views/reporttable.h"
#include "wsjtx/wsjtxmonitor.h"
#include "parts/widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QShortcut>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QValidator>

const QString TForm1::kDeveloperCallsign = QStringLiteral("ZZ9TAV");
const QString TForm1::kMakerMark = QStringLiteral(" (Orlix)");

namespace {

const QColor kCallsignBlue(0x00, 0x00, 0xFF);
const QColor kLinkRed(0xFF, 0x00, 0x00);
const QColor kLightYellow(0xFF, 0xFF, 0x80);

// Turns letters into capitals as they are typed.
class UpperCaseValidator final : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

template<class W>
W *place(QWidget *parent, const char *name, int left, int top, int width = -1, int height = -1)
{
    auto *w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    if (width < 0) {
        w->adjustSize();
        w->move(left, top);
    } else {
        w->setGeometry(left, top, width, height);
    }
    return w;
}

QLabel *label(QWidget *parent, const char *name, int left, int top, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->adjustSize();
    l->move(left, top);
    return l;
}

void setTextColour(QWidget *w, const QColor &colour, bool bold, int pointSize = 0)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    w->setPalette(p);
    QFont f = w->font();
    f.setBold(bold);
    if (pointSize > 0)
        f.setPointSize(pointSize);
    w->setFont(f);
}

void setBaseColour(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, colour);
    w->setPalette(p);
}

// The addresses of the services, read once at start: built in, then the
// settings store, then the environment.
Endpoints storedEndpoints(const SettingsStore &store, const QStringList &arguments, QStringList &refused)
{
    // "/RESET" removes the stored addresses before they would be used.
    const bool reset = textops::switchesText(arguments).contains(QStringLiteral("/RESET"));
    return Endpoints::resolve(
        [&](const QString &ident) {
            if (reset)
                return QString();
            try {
                return store.ReadString(settingname::kSection, ident, QString());
            } catch (const TavikError &) {
                return QString(); // not text: as if there were none
            }
        },
        &refused);
}

} // namespace

TForm1::TForm1(TForm1Environment environment, QWidget *parent)
    : QWidget(parent),
      m_store(environment.store ? std::move(environment.store) : openPlatformSettingsStore()),
      m_endpoints(environment.endpoints ? *environment.endpoints
                                        : storedEndpoints(*m_store, environment.arguments, m_refusedAddresses)),
      m_arguments(environment.arguments),
      m_programFile(environment.programFile.isEmpty() ? QCoreApplication::applicationFilePath()
                                                      : environment.programFile),
      m_archiveReaders(std::make_unique<ArchiveReaders>(
          environment.archiveReader ? std::move(environment.archiveReader)
                                    : [] { return openArchiveReader(files::kArchive); }))
{
    setObjectName(QStringLiteral("Form1"));
    Dialogs::setOwner(this);
    createControls();
    IdIPWatch1 = new AddressWatcher(environment.localAddress ? environment.localAddress
                                                             : programAddressLookup(),
                                    this);
    IdIPWatch1->setObjectName(QStringLiteral("IdIPWatch1"));
    IdHTTP1 = new HttpClient(this);
    IdHTTP1->setObjectName(QStringLiteral("IdHTTP1"));
    IdHTTP1->setCaFile(m_endpoints.caFile);
    m_archive = new ReportArchive(this);
    connectHandlers();
    IdIPWatch1->start();
    userAction([this] { FormCreate(); });
    // After the creation sequence: "/RESET" may have forgotten the alert
    // settings and the reference stations.
    createAlerts();
    createDigitalModeLink();
    loadReferences();
    if (!m_refusedAddresses.isEmpty())
        Dialogs::showMessage(m_refusedAddresses.join(u'\r'));
}

TForm1::~TForm1()
{
    // The Reach window uses the settings store, which goes with the members;
    // the Alerts window reads the alert centre's list.
    delete m_reach.data();
    delete m_compare.data();
    delete m_alertsWindow.data();
    delete m_alertSettings.data();
}

void TForm1::createControls()
{
    setWindowTitle(QStringLiteral("TavikRepView"));
    QFont formFont(QStringLiteral("MS Sans Serif"));
    formFont.setPointSize(8);
    setFont(formFont);
    installAccessibleInterfaces();
    setFixedWidth(475);
    setMinimumHeight(300);
    setGeometry(342, 128, 475, 427);
    setAcceptDrops(true);

    Label11 = label(this, "Label11", 0, 0, QStringLiteral("Callsign"));
    setTextColour(Label11, kCallsignBlue, true);
    Label11->adjustSize();
    Label11->setToolTip(QStringLiteral("Configured callsign"));

    Button6 = place<QPushButton>(this, "Button6", 72, 0, 25, 17);
    Button6->setText(QStringLiteral("Do"));
    Button6->hide();
    Button5 = place<QPushButton>(this, "Button5", 100, 1, 25, 17);
    Button5->setText(QStringLiteral("Me"));
    Button5->hide();

    Edit3 = place<QLineEdit>(this, "Edit3", 128, 0, 41, 21);
    Edit3->setText(QStringLiteral("FIND...."));
    Edit3->setValidator(new UpperCaseValidator(Edit3));
    setBaseColour(Edit3, kLightYellow);
    Edit3->setToolTip(QStringLiteral("Enter prefix or callsign then press Enter"));

    Label1 = label(this, "Label1", 232, 0, QStringLiteral("WWW:"));
    Shape1 = place<ShapeBox>(this, "Shape1", 272, 0, 17, 17);
    Shape1->setToolTip(QStringLiteral("Dark green if internet connection active"));

    Label6 = label(this, "Label6", 304, 0, QStringLiteral("Last:"));
    Label3 = place<QLabel>(this, "Label3", 331, 0, 72, 16);
    Label8 = label(this, "Label8", 304, 16, QStringLiteral("Now: "));
    Label9 = place<QLabel>(this, "Label9", 331, 15, 72, 16);
    setTextColour(Label9, kCallsignBlue, true);
    Label7 = label(this, "Label7", 304, 32, QStringLiteral("Next:"));
    Label4 = place<QLabel>(this, "Label4", 332, 32, 72, 16);
    Label13 = label(this, "Label13", 304, 48, QStringLiteral("Seq#:"));
    for (QLabel *l : {Label3, Label4, Label9})
        l->setText(QStringLiteral(" "));
    Label12 = place<QLabel>(this, "Label12", 333, 47, 72, 16);
    Label12->setText(QStringLiteral("     "));
    // The sequence number comes from the network, the callsign from a file: shown as they stand.
    Label12->setTextFormat(Qt::PlainText);
    Label11->setTextFormat(Qt::PlainText);

    Button1 = place<QPushButton>(this, "Button1", 408, 0, 49, 17);
    Button1->setText(QStringLiteral("Close"));
    Button1->setToolTip(QStringLiteral("Exit the application"));
    Edit5 = place<QLineEdit>(this, "Edit5", 412, 17, 41, 21);
    Edit5->setValidator(new UpperCaseValidator(Edit5));
    Edit5->hide();
    Button7 = place<QPushButton>(this, "Button7", 408, 41, 50, 19);
    Button7->setText(QStringLiteral("Clr Files"));
    Button7->setToolTip(QStringLiteral("Clear data files to reset history."));

    Label2 = place<QLabel>(this, "Label2", 4, 15, 166, 14);
    Label2->setText(QStringLiteral("Update Cycle Timing:"));
    Shape2 = place<ShapeBox>(this, "Shape2", 230, 21, 57, 12);
    Shape2->setToolTip(QStringLiteral("Querying web site when green"));
    Shape2->setBrushColour(palette().color(QPalette::Button));
    Shape2->hide();
    ProgressBar1 = place<ColourBar>(this, "ProgressBar1", 3, 29, 169, 7);
    Label5 = label(this, "Label5", 175, 36, QStringLiteral("Records"));

    ComboBox1 = place<QComboBox>(this, "ComboBox1", 4, 38, 113, 21);
    // Named before anything asks a screen reader's question of it.
    ComboBox1->setAccessibleName(QStringLiteral("View"));
    ComboBox1->addItems({QStringLiteral("Last signal reports"), QStringLiteral("Active stations"),
                         QStringLiteral("Grids list")});
    ComboBox1->setCurrentIndex(0);
    ComboBox1->setToolTip(QStringLiteral("Select display mode"));
    Edit1 = place<QLineEdit>(this, "Edit1", 121, 38, 49, 21);
    Edit1->setToolTip(QStringLiteral("Count of data items found"));
    CheckBox1 = place<QCheckBox>(this, "CheckBox1", 174, 48, 89, 17);
    CheckBox1->setText(QStringLiteral("Alternate View"));
    CheckBox1->setToolTip(QStringLiteral("Switch between available results views"));

    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(9);

    RichEdit1 = place<QPlainTextEdit>(this, "RichEdit1", 8, 64, 441, 289);
    RichEdit1->setFont(tahoma);
    RichEdit1->setReadOnly(true);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setUndoRedoEnabled(false);
    // Rich text boxes stop tabs every half inch.
    RichEdit1->setTabStopDistance(48);
    RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);

    StringGrid1 = place<QTableWidget>(this, "StringGrid1", 8, 176, 441, 137);
    StringGrid1->setColumnCount(7);
    StringGrid1->setRowCount(50);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->horizontalHeader()->setDefaultSectionSize(80);
    StringGrid1->verticalHeader()->setMinimumSectionSize(1);
    StringGrid1->verticalHeader()->setDefaultSectionSize(15);
    StringGrid1->setShowGrid(false);
    StringGrid1->setFont(tahoma);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setMaximumWidth(441);
    installReportTablePainter(StringGrid1, state);
    StringGrid1->setToolTip(
        QStringLiteral("Curent date results are in black, previous dates are in blue or green"));
    StringGrid1->hide();

    RichEdit3 = place<QPlainTextEdit>(this, "RichEdit3", 24, 72, 337, 249);
    RichEdit3->setFont(tahoma);
    RichEdit3->setReadOnly(true);
    setBaseColour(RichEdit3, kLightYellow);
    RichEdit3->setTabStopDistance(48);
    RichEdit3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit3->setContextMenuPolicy(Qt::NoContextMenu);
    RichEdit3->hide();

    Panel1 = place<QFrame>(this, "Panel1", 112, 88, 241, 73);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setAutoFillBackground(true);
    Label14 = label(Panel1, "Label14", 8, 12, QStringLiteral("Enter your callsign.... then press Enter....."));
    Edit4 = place<QLineEdit>(Panel1, "Edit4", 8, 36, 225, 21);
    Edit4->setFont(tahoma);
    Edit4->setValidator(new UpperCaseValidator(Edit4));
    Edit4->setToolTip(QStringLiteral("Enter your callsign to use for web queries"));
    Panel1->hide();

    Label15 = place<QLabel>(this, "Label15", 24, 368, 400, 16);
    Label15->setText(QStringLiteral("Link: Download latest TavikRepView.zip from ") + m_endpoints.siteName);
    setTextColour(Label15, kLinkRed, true, 10);
    Label15->setToolTip(QStringLiteral("Use this web link to download the latest version via your browser"));
    Label15->setCursor(Qt::PointingHandCursor);
    Label15->hide();

    // Popups and the table lie in front of the list view.
    StringGrid1->raise();
    RichEdit3->raise();
    Panel1->raise();

    // Tab and Shift+Tab go on from the list views and the table; arrows
    // move inside them, and the caret moves through the read-only lines.
    for (QPlainTextEdit *view : {RichEdit1, RichEdit3}) {
        view->setTabChangesFocus(true);
        view->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    }
    StringGrid1->setTabKeyNavigation(false);
    nameControls();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
}

void TForm1::connectHandlers()
{
    connect(Timer1, &QTimer::timeout, this, &TForm1::runTick);
    connect(m_archive, &ReportArchive::failed, this, &TForm1::archiveFailed);
    connect(m_archive, &ReportArchive::waiting, this, &TForm1::archiveWaiting);
    connect(m_archive, &ReportArchive::stored, this, [this] {
        if (m_alerts->settings().wsjtxListen)
            userAction([this] { readLastTransmission(); });
    });
    connect(IdIPWatch1, &AddressWatcher::statusChanged, this,
            [this] { tickAction([this] { IdIPWatch1StatusChanged(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { userAction([this] { Button1Click(); }); });
    connect(Button5, &QPushButton::clicked, this, [this] { userAction([this] { Button5Click(); }); });
    connect(Button6, &QPushButton::clicked, this, [this] { userAction([this] { Button6Click(); }); });
    connect(Button7, &QPushButton::clicked, this, [this] { userAction([this] { Button7Click(); }); });
    connect(ComboBox1, &QComboBox::activated, this, [this] { userAction([this] { ComboBox1Change(); }); });
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { userAction([this] { CheckBox1Click(); }); });
    connect(Edit3, &QLineEdit::returnPressed, this, [this] { userAction([this] { Edit3KeyPress(u'\r'); }); });
    connect(Edit4, &QLineEdit::returnPressed, this, [this] { userAction([this] { Edit4KeyPress(u'\r'); }); });
    connect(Edit5, &QLineEdit::returnPressed, this, [this] { userAction([this] { Edit5KeyPress(u'\r'); }); });
    connect(RichEdit1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &position) { userAction([this, position] { RichEdit1ContextPopup(position); }); });
    auto *reachKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    connect(reachKey, &QShortcut::activated, this, [this] { userAction([this] { openReachWindow(); }); });
    auto *compareKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), this);
    connect(compareKey, &QShortcut::activated, this, [this] { userAction([this] { openCompareWindow(); }); });
    Edit3->installEventFilter(this);
    RichEdit3->viewport()->installEventFilter(this);
    RichEdit3->installEventFilter(this);
    StringGrid1->installEventFilter(this);
    Label15->installEventFilter(this);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    // Escape closes the find popup, from the popup or from the find box.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape
        && (watched == RichEdit3 || watched == Edit3) && RichEdit3->isVisible()) {
        userAction([this] { RichEdit3MouseDown(); });
        return true;
    }
    // Under the table the list view is out of sight: Tab passes it by.
    if (watched == StringGrid1 && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        RichEdit1->setFocusPolicy(event->type() == QEvent::Show ? Qt::NoFocus : Qt::StrongFocus);
    if (event->type() == QEvent::KeyPress && watched == Label15) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            userAction([this] { Label15Click(); });
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress) {
        // A click into the find box is a left-button click; the popup closes
        // on any button.
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (watched == Edit3 && mouse->button() == Qt::LeftButton)
            userAction([this] { Edit3Click(); });
        else if (watched == RichEdit3->viewport()) {
            userAction([this] { RichEdit3MouseDown(); });
            return true;
        } else if (watched == Label15 && mouse->button() == Qt::LeftButton)
            userAction([this] { Label15Click(); });
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::runTick()
{
    // Only a tick that runs through ends a lasting fault; a handler of the
    // address watcher that succeeds in between says nothing about it.
    if (tickAction([this] { Timer1Timer(); }))
        m_lastTickError.clear();
    if (m_versionCheckDue && versionCheckFits()) {
        m_versionCheckDue = false;
        userAction([this] {
            FetchVersionInfo([this] {
                if (!m_closing)
                    userAction([this] { readVersionPageAndNotify(); });
            });
        });
    }
    QueryReferences();
    m_wsjtx->tick(Clock::nowUtc());
}

void TForm1::userAction(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &e) {
        reportHandlerError(QString::fromUtf8(e.what()), false);
    }
}

bool TForm1::tickAction(const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception &e) {
        reportHandlerError(QString::fromUtf8(e.what()), true);
        return false;
    }
}

void TForm1::reportHandlerError(const QString &message, bool fromTick)
{
    // A lasting fault in the tick would fail every second: log and show it
    // once, until a tick runs through again.
    if (fromTick) {
        if (message == m_lastTickError)
            return;
        m_lastTickError = message;
    }
    try {
        // Several failures of one sequence come one a line: one log line each.
        for (const QString &line : message.split(u'\r'))
            LogLine(QStringLiteral("Error: ") + line);
    } catch (const std::exception &) {
        // The log itself may be what fails; the box below still tells the operator.
    }
    // Closing opens no box: a fault of the closing itself is told by endProgram.
    if (m_closing)
        return;
    // While an error box is up, a further error is logged but opens no second one.
    if (!m_errorBox)
        m_errorBox = Dialogs::showError(message);
}

void TForm1::runActivation()
{
    userAction([this] { FormActivate(); });
}

void TForm1::archiveFailed(const QString &message)
{
    // The archive's worker tells each fault once; it is logged even with logging off.
    try {
        LogLine(QStringLiteral("Archive error: ") + message);
    } catch (const std::exception &) {
        // The box below still tells the operator.
    }
    // A fault that comes back (a lock, a full disk, episode after episode)
    // opens its box once a start; the log holds every episode.
    if (m_closing || m_archiveFaultsShown.contains(message))
        return;
    m_archiveFaultsShown.insert(message);
    Dialogs::showMessage(message);
}

void TForm1::FormResize()
{
    RichEdit1->resize(RichEdit1->width(), height() - 120);
    StringGrid1->setGeometry(StringGrid1->x(), RichEdit1->y(), RichEdit1->width(), RichEdit1->height());
    RichEdit3->resize(RichEdit1->width() - 50, RichEdit3->height());
    RichEdit3->move(RichEdit1->x() + (RichEdit1->width() - RichEdit3->width()) / 2, RichEdit3->y());
    Label15->move(Label15->x(), height() - 55);
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    userAction([this] { FormResize(); });
}

void TForm1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The activation sequence runs once, when the window first comes up;
    // later activations (switching back from another program) do not repeat it.
    if (!m_activated) {
        m_activated = true;
        QTimer::singleShot(0, this, [this] {
            // Closed before it came up: the cycle never starts.
            if (m_closing)
                return;
            runActivation();
            userAction([this] { openReachAtStart(); });
            userAction([this] { openCompareAtStart(); });
        });
    }
}

void TForm1::FormClose()
{
    m_closing = true;
    // A request still waiting on the network would hold the closing window.
    IdHTTP1->abort();
    // The timer stops also when the settings cannot be saved.
    const auto stopTimer = qScopeGuard([this] { Timer1->stop(); });
    // Reports still waiting for the archive go to its journal: the service
    // never sends them again.
    const auto keepWaiting = qScopeGuard([this] { m_archive->finish(); });
    SaveSettings();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // The window's close box closes as "Close" does; the window closes even
    // when the settings could not be saved: one that cannot be closed is worse.
    endProgram(false);
    event->accept();
}

void TForm1::Button1Click()
{
    endProgram(false);
}

void TForm1::closeFromOutside()
{
    endProgram(true);
}

namespace {

// Only a running loop can be ended; without one (a test driving the window)
// exit() would end every later loop of the process at once.
void endEventLoop()
{
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

} // namespace

void TForm1::endProgram(bool fromOutside)
{
    if (m_ending) {
        // A signal while the closing fault's box is up ends the program now.
        if (fromOutside) {
            Dialogs::closeAll();
            endEventLoop();
        }
        return;
    }
    m_ending = true;
    m_closing = true;
    // What a request cut short by closing reports is no news: no box opens.
    Dialogs::beginClosing();
    closeOtherWindows();
    QString fault;
    try {
        FormClose();
    } catch (const std::exception &e) {
        fault = QString::fromUtf8(e.what());
    }
    hide();
    if (!fault.isEmpty()) {
        try {
            for (const QString &line : fault.split(u'\r'))
                LogLine(QStringLiteral("Error: ") + line);
        } catch (const std::exception &) {
        }
        // The operator who closed the window reads why before it goes; the
        // event loop, and so the program, ends when the box closes.
        if (!fromOutside) {
            if (const Dialogs::Box box = Dialogs::showClosingError(fault)) {
                connect(box, &QObject::destroyed, this, [] { endEventLoop(); });
                return;
            }
        }
    }
    endEventLoop();
}

void TForm1::closeOtherWindows()
{
    // The Reach, Compare and Alerts windows, the alert settings, file
    // dialogs and menus: none stays behind the main window.
    const QWidgetList windows = QApplication::topLevelWidgets();
    QList<QPointer<QWidget>> open;
    for (QWidget *w : windows) {
        if (w != this && w->isVisible())
            open << w;
    }
    for (const QPointer<QWidget> &w : open) {
        if (w && !w->close() && w)
            w->hide();
    }
    if (m_alerts)
        m_alerts->removeTrayIcon();
}

void TForm1::FormDragDrop()
{
    SaveSettings();
}

void TForm1::dragEnterEvent(QDragEnterEvent *event)
{
    event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent *event)
{
    userAction([this] { FormDragDrop(); });
    event->acceptProposedAction();
}

void TForm1::ClearGridRows(QTableWidget *grid, bool clear)
{
    if (!clear)
        return;
    for (int row = 1; row < grid->rowCount(); ++row) {
        for (int column = 0; column < grid->columnCount(); ++column)
            delete grid->takeItem(row, column);
    }
}
