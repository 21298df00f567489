#include "shutdownrequests.h"

// Q_OS_WIN comes from Qt's headers: without one before the test, Windows
// would build the signal handlers.
#include <QtGlobal>

#ifdef Q_OS_WIN

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

namespace {

// The end of the session reaches every top-level window as WM_ENDSESSION;
// the process may be ended as soon as the message is answered, so the
// program closes while handling it.
class SessionEndFilter final : public QAbstractNativeEventFilter
{
public:
    explicit SessionEndFilter(ShutdownRequests &requests) : m_requests(requests) {}

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->message == WM_ENDSESSION && msg->wParam && !m_done) {
            m_done = true;
            emit m_requests.requested();
        }
        return false;
    }

private:
    ShutdownRequests &m_requests;
    bool m_done = false;
};

SessionEndFilter *g_filter = nullptr;

} // namespace

ShutdownRequests::ShutdownRequests(QObject *parent) : QObject(parent)
{
    g_filter = new SessionEndFilter(*this);
    QCoreApplication::instance()->installNativeEventFilter(g_filter);
}

ShutdownRequests::~ShutdownRequests()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(g_filter);
    delete g_filter;
    g_filter = nullptr;
}

#endif
