#include "singleinstance.h"

// Q_OS_WIN comes from Qt's headers: without one before the test, Windows
// would build the lock file instead of the mutex.
#include <QtGlobal>

#ifdef Q_OS_WIN

#include <windows.h>

struct SingleInstanceGuard::Handle
{
    HANDLE mutex = nullptr;
    ~Handle()
    {
        if (mutex)
            CloseHandle(mutex);
    }
};

SingleInstanceGuard::SingleInstanceGuard() = default;
SingleInstanceGuard::~SingleInstanceGuard() = default;

bool SingleInstanceGuard::acquire()
{
    m_handle = std::make_unique<Handle>();
    m_handle->mutex = CreateMutexW(nullptr, TRUE, L"TavikRepView");
    if (!m_handle->mutex)
        return false;
    return GetLastError() != ERROR_ALREADY_EXISTS;
}

#endif
