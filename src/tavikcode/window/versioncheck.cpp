// The program's version file, the maker's version page, the update notice
// and the clearing of the history when the build changes.
#include "tform1.h"

#include "base/clock.h"
#include "base/datetime.h"
#include "base/fileutil.h"
#include "base/filenames.h"
#include "retrieval/endpoints.h"
#include "retrieval/httpclient.h"
#include "retrieval/versionpage.h"
#include "shell/dialogs.h"
#include "shell/log.h"
#include "shell/settingnames.h"
#include "base/tavikerror.h"
#include "base/textlines.h"

#include <QDesktopServices>
#include <QFile>
#include <QLabel>

using settingname::kLastVers;
using settingname::kSection;

void TForm1::writeVersionFile()
{
    TextLines file;
    file.add(versionpage::versionLine(state.VersionText, state.BuildStamp));
    file.saveToFile(files::kVersion);
}

void TForm1::FetchVersionInfo(std::function<void()> then)
{
    if (!isPublicIpKnown(state) || IdHTTP1->isBusy()) {
        if (then)
            then();
        return;
    }
    try {
        const QUrl url = versionPageUrl(endpoints());
        if (state.LogEnabled)
            LogLine(QString::fromUtf8(url.toEncoded()));
        IdHTTP1->get(url, deadlines.page, [this, then](const HttpResult &result) {
            versionPageAnswered(result);
            if (then)
                then();
        });
        return;
    } catch (const std::exception &e) {
        versionPageAnswered(HttpResult{QString(), QString::fromUtf8(e.what())});
    }
    if (then)
        then();
}

void TForm1::versionPageAnswered(const HttpResult &result)
{
    try {
        if (!result.ok())
            throw TavikError(result.error);
        TextLines page;
        page.setText(result.body);
        page.saveToFile(files::kVersionRef);
    } catch (const std::exception &e) {
        // A page cut short by closing the window is no news.
        if (m_closing)
            return;
        const QString message = QString::fromUtf8(e.what());
        // An error status carries its status line; the operator learns only
        // that the site is not reachable.
        if (message.contains(QStringLiteral("HTTP/1.1")))
            Dialogs::showMessage(QStringLiteral("Web error: ") + endpoints().siteName
                                 + QStringLiteral(" site not accessible"));
        else
            Dialogs::showMessage(QStringLiteral("Web error: ") + message);
    }
}

void TForm1::readVersionPageAndNotify()
{
    if (!fileutil::fileExists(files::kVersionRef))
        return;
    TextLines page;
    page.loadFromFile(files::kVersionRef);
    const QString latestLine = page.isEmpty() ? QString() : page.at(0);
    QFile::remove(files::kVersionRef);

    if (versionpage::latestVersion(latestLine) != state.VersionText) {
        state.NotifyOff = true;
        SaveSettings();
    }
    if (versionpage::latestBuild(latestLine) != state.BuildStamp && state.NotifyOff) {
        Label15->show();
        Dialogs::messageBox(
            versionpage::noticeText(endpoints().siteName, state.VersionText, state.BuildStamp, latestLine),
            QStringLiteral("Update available"));
    }
}

void TForm1::checkBuildNumber()
{
    state.LastVersion = store().ReadString(kSection, kLastVers, QString());
    const QString tail = versionpage::BuildTail(state.VersionText);
    if (state.LastVersion != tail) {
        state.LastVersion = tail;
        store().WriteString(kSection, kLastVers, tail);
        ClearHistoryFiles();
    }
}

bool TForm1::versionCheckFits() const
{
    // Once a start, when the machine is online and the client free, and not
    // while the query falls due before the page could have come in.
    return sideRequestFits(deadlines.page, std::chrono::seconds(0));
}

void TForm1::Label15Click()
{
    QDesktopServices::openUrl(downloadUrl(endpoints()));
}
