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

// For as long as it lives, the calling thread's right to pass over
// permission bits (root's CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH) is
// dropped from its effective set; it is given back at the end.
class PermissionBitsHold
{
public:
    PermissionBitsHold()
    {
#if defined(Q_OS_LINUX)
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        m_header.pid = 0;
        const unsigned rights = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
        if (syscall(SYS_capget, &m_header, m_saved) == 0 && (m_saved[0].effective & rights) != 0) {
            __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
            lowered[0].effective &= ~rights;
            m_dropped = syscall(SYS_capset, &m_header, lowered) == 0;
        }
#endif
    }
    ~PermissionBitsHold()
    {
#if defined(Q_OS_LINUX)
        if (m_dropped)
            syscall(SYS_capset, &m_header, m_saved);
#endif
    }
    PermissionBitsHold(const PermissionBitsHold &) = delete;
    PermissionBitsHold &operator=(const PermissionBitsHold &) = delete;

private:
#if defined(Q_OS_LINUX)
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_dropped = false;
#endif
};

// Makes a folder read-only for the calling thread, for as long as it lives,
// also when the tests run as root. writable() tells whether the folder can
// still be written, as on a system where neither takes hold.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &folder) : m_folder(QFile::encodeName(folder))
    {
#if defined(Q_OS_LINUX)
        ::chmod(m_folder.constData(), 0555);
#endif
    }

    ~ReadOnlyFolder()
    {
#if defined(Q_OS_LINUX)
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
    PermissionBitsHold m_hold;
};

// Makes a file unreadable for the calling thread, for as long as it lives.
class UnreadableFile
{
public:
    explicit UnreadableFile(const QString &file) : m_file(QFile::encodeName(file))
    {
#if defined(Q_OS_LINUX)
        ::chmod(m_file.constData(), 0);
#endif
    }
    ~UnreadableFile()
    {
#if defined(Q_OS_LINUX)
        ::chmod(m_file.constData(), 0644);
#endif
    }
    UnreadableFile(const UnreadableFile &) = delete;
    UnreadableFile &operator=(const UnreadableFile &) = delete;

    bool readable() const
    {
        QFile f(QString::fromLocal8Bit(m_file));
        return f.open(QIODevice::ReadOnly);
    }

private:
    QByteArray m_file;
    PermissionBitsHold m_hold;
};
