// Opening the Compare window from the main window: the list view's menu,
// the tray's menu, Ctrl+M and the switch "/COMPARE". One Compare window at
// most.
#include "tform1.h"

#include "archive/reportarchive.h"
#include "compare/comparesettings.h"
#include "compare/comparewindow.h"
#include "platform/settingsstore.h"
#include "sidewindow.h"

void TForm1::openCompareWindow()
{
    if (raiseSideWindow(m_compare))
        return;
    m_compare = new CompareWindow(
        sideWindowEnvironment<CompareWindowEnvironment>(m_store.get(), *m_archiveReaders, state.Callsign),
        this);
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
    showSideWindow(m_compare, this);
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
    m_referenceQueries.restoreLastAsked(read(kAsked));
}
