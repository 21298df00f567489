#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#if defined(Q_OS_LINUX)
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

// Makes a folder read-only for the calling thread, for as long as it lives:
// its write permission is taken away and, since root passes over permission
// bits, this thread's right to override them (CAP_DAC_OVERRIDE) is dropped
// from its effective set and given back at the end. writable() tells whether
// the folder can still be written, as on a system where neither takes hold.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &folder) : m_folder(QFile::encodeName(folder))
    {
#if defined(Q_OS_LINUX)
        ::chmod(m_folder.constData(), 0555);
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        m_header.pid = 0;
        if (syscall(SYS_capget, &m_header, m_saved) == 0
            && (m_saved[0].effective & (1u << CAP_DAC_OVERRIDE)) != 0) {
            __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
            lowered[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
            m_dropped = syscall(SYS_capset, &m_header, lowered) == 0;
        }
#endif
    }

    ~ReadOnlyFolder()
    {
#if defined(Q_OS_LINUX)
        if (m_dropped)
            syscall(SYS_capset, &m_header, m_saved);
        ::chmod(m_folder.constData(), 0755);
#endif
    }

    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    bool writable() const
    {
#if defined(Q_OS_LINUX)
        const QByteArray probe = m_folder + "/.probe";
        const int fd = ::open(probe.constData(), O_CREAT | O_WRONLY, 0644);
        if (fd < 0)
            return false;
        ::close(fd);
        ::unlink(probe.constData());
#endif
        return true;
    }

private:
    QByteArray m_folder;
#if defined(Q_OS_LINUX)
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_dropped = false;
#endif
};
