// The operator's callsign: from WSJT-X's settings, from the program's own
// TavikRepView.ini, or from the first-run prompt.
#include "tform1.h"

#include "base/callsignfile.h"
#include "base/fileutil.h"
#include "base/filenames.h"
#include "platform/wsjtxlocation.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>

void TForm1::takeOverWsjtxSettings()
{
    state.WsjtxFolder = wsjtxSettingsFolder();
    const QString original = state.WsjtxFolder + wsjtxSettingsFileName();
    if (fileutil::fileExists(original)) {
        // A copy that fails is not reported: an older copy, if any, is read.
        try {
            fileutil::writeFileAtomically(files::kWsjtxIni, fileutil::readFile(original));
        } catch (const std::exception &) {
        }
    }
    // The program's own file is read too when WSJT-X has no settings here, so
    // an operator who answered the prompt once is not asked again.
    if (fileutil::fileExists(files::kWsjtxIni) || fileutil::fileExists(files::kCallsignIni))
        ReadCallsign();
}

void TForm1::ReadCallsign()
{
    state.Callsign.clear();
    const QString chosen = fileutil::fileExists(files::kCallsignIni) ? files::kCallsignIni : files::kWsjtxIni;
    if (fileutil::isPresent(chosen)) {
        TextLines lines;
        lines.loadFromFile(chosen);
        state.Callsign = callsignFromLines(lines.lines());
    }
    if (!state.Callsign.isEmpty()) {
        Label11->setText(state.Callsign);
        Label11->adjustSize();
    }
}

void TForm1::Edit4KeyPress(QChar key)
{
    if (key == u'\r')
        state.Callsign = Edit4->text() + u'\r';
}

void TForm1::PollCallsignEntry()
{
    if (state.Callsign.isEmpty() && Panel1->isHidden()) {
        Panel1->show();
        Edit4->setFocus();
    }
    if (!state.Callsign.contains(u'\r'))
        return;
    state.Callsign = Edit4->text();
    TextLines file;
    file.add(callsignFileLine(state.Callsign));
    file.saveToFile(files::kCallsignIni);
    Panel1->hide();
    Edit4->clear();
}
