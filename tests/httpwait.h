#pragma once

#include "retrieval/httpclient.h"
#include "base/tavikerror.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <optional>

// One request run to its end, for tests of the client: the body, or a
// TavikError with the failure. Waits on the network only, never on a timer
// of the program's own beyond the client's.
inline QString getNow(HttpClient &client, const QUrl &url,
                      std::chrono::milliseconds deadline = HttpClient::defaultDeadline)
{
    std::optional<HttpResult> result;
    client.get(url, deadline, [&result](const HttpResult &r) { result = r; });
    while (!result)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!result->ok())
        throw TavikError(result->error);
    return result->body;
}
