#pragma once

#include <memory>

// Guards against a second running copy of the program for the same user. On
// Windows a named mutex "TavikRepView"; elsewhere a lock file in the user's
// runtime folder, which a crashed copy does not leave locked.
class SingleInstanceGuard
{
public:
    SingleInstanceGuard();
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard &) = delete;
    SingleInstanceGuard &operator=(const SingleInstanceGuard &) = delete;

    // True when this process is the only copy; the guard is then held until
    // the guard object is destroyed.
    bool acquire();

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
};
