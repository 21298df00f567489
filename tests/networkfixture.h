#pragma once

#include "formfixture.h"
#include "platform/addresswatcher.h"
#include "retrieval/httpclient.h"
#include "standinserver.h"
#include "parts/widgets.h"

#include <chrono>

// A window whose report service, address echo and maker's site are a local
// stand-in server, reached over HTTPS with the test certificate authority.
class NetworkTest : public FormTest
{
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        ASSERT_TRUE(server.listen()) << server.errorString().toStdString();
        server.setEchoText("198.51.100.7");
    }

    Endpoints standInEndpoints() const
    {
        Endpoints e = Endpoints::defaults();
        e.reportBase = server.httpsBase();
        e.echoAddress = server.httpBase() + QStringLiteral("/");
        e.siteBase = server.httpsBase();
        e.caFile = StandInServer::testCaFile();
        return e;
    }

    // The window, online with a known public address and a callsign.
    TForm1 &online(const QString &callsign = QStringLiteral("G4XYZ"))
    {
        TForm1 &f = createWith(standInEndpoints());
        localAddress = QStringLiteral("10.0.0.2");
        f.IdIPWatch1->check();
        f.state.Callsign = callsign;
        f.state.PublicIP = QStringLiteral("198.51.100.7");
        return f;
    }

    TForm1 &createWith(const Endpoints &endpoints, const QStringList &arguments = {})
    {
        TForm1 &f = create(arguments, endpoints);
        f.IdHTTP1->setTimeout(std::chrono::milliseconds(400));
        return f;
    }

    QStringList targets() const
    {
        QStringList list;
        for (const StandInRequest &r : server.requests())
            list << QString::fromUtf8(r.target);
        return list;
    }

    StandInServer server;
};
