#include "freememory.h"

#include <QtGlobal>

#ifndef Q_OS_WIN

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void keepTheHeapSmall()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    mallopt(M_ARENA_MAX, 2);
#endif
}

void returnFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

#endif
