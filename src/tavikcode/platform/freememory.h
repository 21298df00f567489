#pragma once

// The program runs all day; a large result replaced (a month of the Reach
// window's receivers) should not keep it at its peak size. The C library
// keeps freed blocks for later use unless told otherwise.

// Large blocks (128 KiB and more) get pages of their own, which go back to
// the system when freed. Left alone, the C library raises that bound to the
// largest block freed so far, and later large blocks stay in its heap.
// The threads share two heaps: left alone, each thread that allocates gets
// a heap of its own, each keeping free pages of its own (about 0.5 MB in all
// for the idle program's threads). Called once at start, before any thread.
void keepTheHeapSmall();

// Hands the free pages of the heap back to the system.
void returnFreedMemory();
