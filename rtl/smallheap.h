// The program's small-object heap: blocks up to 1 KB come from free lists, one
// per size class, carved from chunks of reserved address space; larger blocks
// and every block of a thread other than the first to allocate come from the
// plain heap. The global operator new and delete and the byte strings' buffers
// use it. The plain heap alone serves everything when the environment sets
// NIMBORA_PLAIN_HEAP (the heap-checked test run does, so that Wine's heap
// checker sees every block).
#pragma once

#include <cstddef>

// A block of at least size bytes, aligned as the plain heap's; std::bad_alloc
// when there is no memory.
void* smallAllocate(std::size_t size);
// Gives back a block from smallAllocate (from any thread); null is ignored.
void smallRelease(void* block) noexcept;
// Whether the calling thread's small blocks come from the free lists.
bool smallHeapInUse() noexcept;
