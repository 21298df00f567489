// Opening the Reach window from the main window: the list view's menu,
// Ctrl+R and the switch "/REACH". One Reach window at most. The list view's
// menu also opens the Compare window, the Alerts window and the alert
// settings.
#include "tform1.h"

#include "archive/archivereader.h"
#include "archive/reportarchive.h"
#include "base/filenames.h"
#include "platform/freememory.h"
#include "reach/reachwindow.h"

#include <QMenu>
#include <QPlainTextEdit>

void TForm1::openReachWindow()
{
    if (m_reach) {
        m_reach->showNormal();
        m_reach->raise();
        m_reach->activateWindow();
        return;
    }
    ReachWindowEnvironment environment;
    environment.store = m_store.get();
    environment.openReader = m_archiveReader ? m_archiveReader : [] { return openArchiveReader(files::kArchive); };
    environment.wsjtxSettingsFile = files::kWsjtxIni;
    environment.callsign = QString(state.Callsign).remove(u'\r').trimmed();
    m_reach = new ReachWindow(std::move(environment), this);
    // A pass that added reports shows in the window; the connection goes with it.
    connect(m_archive, &ReportArchive::stored, m_reach, [reach = m_reach.data()](int reportsAdded) {
        if (reportsAdded > 0)
            reach->refresh();
    });
    // Closed, it is gone with its threads and reader; the next opening starts afresh.
    m_reach->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_reach, &QObject::destroyed, this, [] { returnFreedMemory(); });
    m_reach->show();
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
