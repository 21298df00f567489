// Opening the Reach window from the main window: the list view's menu,
// Ctrl+R and the switch "/REACH". One Reach window at most. The list view's
// menu also opens the Compare window, the Alerts window and the alert
// settings.
#include "tform1.h"

#include "archive/reportarchive.h"
#include "reach/reachwindow.h"
#include "sidewindow.h"

#include <QMenu>
#include <QPlainTextEdit>

void TForm1::openReachWindow()
{
    if (raiseSideWindow(m_reach))
        return;
    m_reach = new ReachWindow(
        sideWindowEnvironment<ReachWindowEnvironment>(m_store.get(), *m_archiveReaders, state.Callsign),
        this);
    // A pass that added reports shows in the window; the connection goes with it.
    connect(m_archive, &ReportArchive::stored, m_reach, [reach = m_reach.data()](int reportsAdded) {
        if (reportsAdded > 0)
            reach->refresh();
    });
    showSideWindow(m_reach, this);
    digitalModeChanged();
}

QMenu *TForm1::createListMenu(const QPoint &position)
{
    // The list view's own entries, then the tray menu's, for desktops without a tray.
    QMenu *menu = RichEdit1->createStandardContextMenu(position);
    menu->addSeparator();
    addAlertEntries(menu);
    return menu;
}

void TForm1::RichEdit1ContextPopup(const QPoint &position)
{
    // Shown and left to itself: no handler waits while the menu is open.
    QMenu *menu = createListMenu(position);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(RichEdit1->viewport()->mapToGlobal(position));
}

ReachWindow *TForm1::reachWindow() const
{
    return m_reach;
}

void TForm1::openReachAtStart()
{
    if (state.Switches.contains(QStringLiteral("/REACH")))
        openReachWindow();
}
