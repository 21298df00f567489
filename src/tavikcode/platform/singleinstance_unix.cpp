#include "singleinstance.h"

// Q_OS_WIN comes from Qt's headers: without one before the test, Windows
// would build the lock file instead of the mutex.
#include <QtGlobal>

#ifndef Q_OS_WIN

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

struct SingleInstanceGuard::Handle
{
    explicit Handle(const QString &path) : lock(path) {}
    QLockFile lock;
};

SingleInstanceGuard::SingleInstanceGuard() = default;
SingleInstanceGuard::~SingleInstanceGuard() = default;

bool SingleInstanceGuard::acquire()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    QDir().mkpath(folder);
    m_handle = std::make_unique<Handle>(folder + QStringLiteral("/TavikRepView.lock"));
    // A lock left by a copy that died is recognised by its process id and taken over.
    m_handle->lock.setStaleLockTime(0);
    return m_handle->lock.tryLock(0);
}

#endif
