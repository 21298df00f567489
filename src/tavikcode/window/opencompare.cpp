// Opening the Compare window from the main window: the list view's menu,
// the tray's menu, Ctrl+M and the switch "/COMPARE". One Compare window at
// most.
#include "tform1.h"

#include "archive/archivereader.h"
#include "archive/reportarchive.h"
#include "compare/comparesettings.h"
#include "compare/comparewindow.h"
#include "base/filenames.h"
#include "platform/freememory.h"
#include "platform/settingsstore.h"

void TForm1::openCompareWindow()
{
    if (m_compare) {
        m_compare->showNormal();
        m_compare->raise();
        m_compare->activateWindow();
        return;
    }
    CompareWindowEnvironment environment;
    environment.store = m_store.get();
    environment.openReader = m_archiveReader ? m_archiveReader : [] { return openArchiveReader(files::kArchive); };
    environment.wsjtxSettingsFile = files::kWsjtxIni;
    environment.callsign = QString(state.Callsign).remove(u'\r').trimmed();
    m_compare = new CompareWindow(std::move(environment), this);
    // A pass that added reports of either station shows in the window; the
    // connections go with it.
    const auto refreshOnReports = [compare = m_compare.data()](int reportsAdded) {
        if (reportsAdded > 0)
            compare->refresh();
    };
    connect(m_archive, &ReportArchive::stored, m_compare, refreshOnReports);
    connect(m_archive, &ReportArchive::referencesStored, m_compare, refreshOnReports);
    // The queries follow the references and the interval set in the window.
    connect(m_compare, &CompareWindow::referencesChanged, this,
            [this](const QStringList &callsigns) { m_referenceCalls = callsigns.join(u','); });
    connect(m_compare, &CompareWindow::intervalChanged, this, [this](int minutes) { m_referenceInterval = minutes; });
    // Closed, it is gone with its threads and reader; the next opening starts afresh.
    m_compare->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_compare, &QObject::destroyed, this, [] { returnFreedMemory(); });
    m_compare->show();
}

void TForm1::openCompareAtStart()
{
    if (state.Switches.contains(QStringLiteral("/COMPARE")))
        openCompareWindow();
}

CompareWindow *TForm1::compareWindow() const
{
    return m_compare;
}

void TForm1::loadReferences()
{
    using namespace comparesettings;
    // A value that is no text (written by hand) counts as none.
    const auto read = [this](const QString &ident) {
        try {
            return store().ReadString(kSection, ident, QString());
        } catch (const std::exception &) {
            return QString();
        }
    };
    m_referenceCalls = read(kCalls);
    m_referenceInterval = referenceInterval(read(kInterval));
}
