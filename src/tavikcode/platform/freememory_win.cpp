#include "freememory.h"

#include <QtGlobal>

#ifdef Q_OS_WIN

#include <malloc.h>

// The Windows heap gives blocks of half a megabyte and more pages of their
// own already.
void keepTheHeapSmall() {}

void returnFreedMemory()
{
    _heapmin();
}

#endif
