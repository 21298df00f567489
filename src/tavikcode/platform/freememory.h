#pragma once

// The program runs all day; a large result replaced (a month of the Reach
// window's receivers) should not keep it at its peak size. The C library
// keeps freed blocks for later use unless told otherwise.

// Large blocks (128 KiB and more) get pages of their own, which go back to
// the system when freed. Left alone, the C library raises that bound to the
// largest block freed so far, and later large blocks stay in its heap. Called
// once at start.
void returnLargeBlocksWhenFreed();

// Hands the free pages of the heap back to the system.
void returnFreedMemory();
