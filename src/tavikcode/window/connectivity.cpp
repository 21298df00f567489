// Whether the program may go to the network: the local address from the
// address watcher and the public address from the echo request.
#include "tform1.h"

#include "platform/addresswatcher.h"
#include "retrieval/endpoints.h"
#include "retrieval/httpclient.h"
#include "shell/log.h"
#include "base/textops.h"
#include "parts/widgets.h"

namespace {
const QString kLost = QStringLiteral("127.0.0.1");
}

void TForm1::CheckConnection()
{
    state.LocalIP.clear();
    if (!IdIPWatch1->online()) {
        state.PublicIP.clear();
        return;
    }
    state.LocalIP = IdIPWatch1->currentAddress();
    if (state.LocalIP == kLost)
        return;
    // A request already outstanding: the next tick asks.
    if (IdHTTP1->isBusy())
        return;
    IdHTTP1->get(echoUrl(endpoints()), deadlines.echo, [this](const HttpResult &result) { echoAnswered(result); });
}

void TForm1::echoAnswered(const HttpResult &result)
{
    if (result.ok()) {
        state.PublicIP = textops::trim(result.body);
        m_lastEchoError.clear();
        showConnectivity();
        return;
    }
    // The address stays unknown and the next tick tries again; the fault
    // is logged once, not every second, and no box opens.
    if (result.error != m_lastEchoError) {
        m_lastEchoError = result.error;
        try {
            LogLine(QStringLiteral("Echo error: ") + result.error);
        } catch (const TavikError &) {
        }
    }
}

void TForm1::IdIPWatch1StatusChanged()
{
    if (state.TickCounter < 2)
        return;
    state.PublicIP = kLost;
    showConnectivity();
}

void TForm1::connectAtActivation()
{
    if (IdIPWatch1->online()) {
        state.LocalIP = IdIPWatch1->lookupNow();
        if (!state.LocalIP.isEmpty())
            CheckConnection();
    }
    showConnectivity();
}

void TForm1::refreshConnectivity()
{
    if (state.LocalIP.isEmpty() && IdIPWatch1->online())
        state.LocalIP = IdIPWatch1->lookupNow();
    if (!state.LocalIP.isEmpty() && !isPublicIpKnown(state))
        CheckConnection();
    showConnectivity();
}

void TForm1::showConnectivity()
{
    const bool online = isPublicIpKnown(state);
    Shape1->setBrushColour(online ? QColor(0x00, 0x80, 0x00) : QColor(0xFF, 0x00, 0x00));
    // The colour is not all there is to it.
    const QString name = online ? QStringLiteral("Online") : QStringLiteral("Offline");
    if (Shape1->accessibleName() != name)
        Shape1->setAccessibleName(name);
}
