// The small-object heap (see smallheap.h) and the global operator new and
// delete over it. Chunks of ChunkSize bytes lie at ChunkSize-aligned addresses
// inside segments of reserved address space; a chunk's header names its size
// class, so a block's class follows from its address and an unsized delete
// needs no block header. Only the owning thread (the first to allocate: the
// program's main thread) touches the free lists; a pool block freed on another
// thread goes onto an atomic list that the owner takes back when a list runs dry.
#include "rtl/smallheap.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t Granule = 2 * sizeof(void*);  // the plain heap's alignment
constexpr std::size_t LargestSmall = 1024;
constexpr std::size_t ChunkSize = 16 * 1024;
constexpr std::size_t ChunkHeader = 16;  // keeps blocks Granule-aligned
constexpr std::size_t FirstSegment = 16u << 20;
constexpr std::size_t LargestSegment = 256u << 20;
constexpr int MaxSegments = 24;

// Classes: Granule steps up to 256 bytes, then 64-byte steps up to LargestSmall.
constexpr int FineClasses = 256 / Granule;
constexpr int ClassCount = FineClasses + (LargestSmall - 256) / 64;

constexpr std::size_t classSize(int sizeClass) {
    return sizeClass < FineClasses ? (sizeClass + 1) * Granule : 256 + (sizeClass - FineClasses + 1) * 64;
}

int classOf(std::size_t size) {
    if (size <= 256) return size == 0 ? 0 : static_cast<int>((size - 1) / Granule);
    return FineClasses + static_cast<int>((size - 257) / 64);
}

struct Block {
    Block* next;
};

struct ChunkHead {
    int sizeClass;
};

struct Segment {
    std::uintptr_t base;
    std::size_t size;
};

enum Mode : int { Undecided, Pool, Plain };

// Zero-initialised before any constructor runs: operator new works from the first
// static constructor on.
struct Heap {
    std::atomic<int> mode;
    std::atomic<void*> owner;  // the owning thread's environment block
    Block* free[ClassCount];
    char* cursor[ClassCount];  // the uncarved rest of each class's newest chunk
    char* chunkEnd[ClassCount];
    char* next;  // the unused rest of the newest segment
    char* limit;
    Segment segments[MaxSegments];
    std::atomic<int> segmentCount;  // entries below it are complete
    std::atomic<Block*> remote;     // pool blocks freed on other threads
};
constinit Heap heap{};

// The calling thread's environment block (NT_TIB.Self), read the way
// NtCurrentTeb does, without the header's inline that trips -Warray-bounds.
void* currentThread() noexcept {
    void* self;
#if defined(__x86_64__)
    asm("movq %%gs:0x30, %0" : "=r"(self));
#else
    asm("movl %%fs:0x18, %0" : "=r"(self));
#endif
    return self;
}

void decide() noexcept {
    char value[2];
    bool plain = GetEnvironmentVariableA("NIMBORA_PLAIN_HEAP", value, sizeof value) > 0;
    void* none = nullptr;
    heap.owner.compare_exchange_strong(none, currentThread());
    int undecided = Undecided;
    heap.mode.compare_exchange_strong(undecided, plain ? Plain : Pool);
}

bool onOwnerThread() noexcept { return heap.owner.load(std::memory_order_relaxed) == currentThread(); }

bool poolServes() noexcept {
    int mode = heap.mode.load(std::memory_order_acquire);
    if (mode == Undecided) {
        decide();
        mode = heap.mode.load(std::memory_order_acquire);
    }
    return mode == Pool && onOwnerThread();
}

bool inPool(const void* block) noexcept {
    auto address = reinterpret_cast<std::uintptr_t>(block);
    int count = heap.segmentCount.load(std::memory_order_acquire);
    for (int i = 0; i < count; ++i)
        if (address - heap.segments[i].base < heap.segments[i].size) return true;
    return false;
}

void pushFree(Block* block) noexcept {
    auto* head = reinterpret_cast<ChunkHead*>(reinterpret_cast<std::uintptr_t>(block) & ~(ChunkSize - 1));
    block->next = heap.free[head->sizeClass];
    heap.free[head->sizeClass] = block;
}

void takeBackRemote() noexcept {
    Block* block = heap.remote.exchange(nullptr, std::memory_order_acquire);
    while (block) {
        Block* next = block->next;
        pushFree(block);
        block = next;
    }
}

void pushRemote(Block* block) noexcept {
    Block* head = heap.remote.load(std::memory_order_relaxed);
    do {
        block->next = head;
    } while (!heap.remote.compare_exchange_weak(head, block, std::memory_order_release, std::memory_order_relaxed));
}

// Segments double in size up to LargestSegment, so a few cover any program.
bool reserveSegment() noexcept {
    int count = heap.segmentCount.load(std::memory_order_relaxed);
    if (count == MaxSegments) return false;
    std::size_t size = count == 0 ? FirstSegment : heap.segments[count - 1].size * 2;
    if (size > LargestSegment) size = LargestSegment;
    auto* base = static_cast<char*>(VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_READWRITE));
    if (!base) return false;
    heap.segments[count] = {reinterpret_cast<std::uintptr_t>(base), size};
    heap.segmentCount.store(count + 1, std::memory_order_release);
    heap.next = base;
    heap.limit = base + size;
    return true;
}

bool newChunk(int sizeClass) noexcept {
    if (static_cast<std::size_t>(heap.limit - heap.next) < ChunkSize && !reserveSegment()) return false;
    char* chunk = heap.next;
    if (!VirtualAlloc(chunk, ChunkSize, MEM_COMMIT, PAGE_READWRITE)) return false;
    heap.next += ChunkSize;
    reinterpret_cast<ChunkHead*>(chunk)->sizeClass = sizeClass;
    heap.cursor[sizeClass] = chunk + ChunkHeader;
    heap.chunkEnd[sizeClass] = chunk + ChunkSize;
    return true;
}

// The slow path of a class with an empty free list: blocks freed elsewhere,
// else the rest of its chunk, else a new chunk; null when the address space
// is used up (the plain heap then serves).
void* refill(int sizeClass) noexcept {
    if (heap.remote.load(std::memory_order_relaxed)) {
        takeBackRemote();
        if (Block* block = heap.free[sizeClass]) {
            heap.free[sizeClass] = block->next;
            return block;
        }
    }
    std::size_t size = classSize(sizeClass);
    if (static_cast<std::size_t>(heap.chunkEnd[sizeClass] - heap.cursor[sizeClass]) < size && !newChunk(sizeClass))
        return nullptr;
    char* block = heap.cursor[sizeClass];
    heap.cursor[sizeClass] += size;
    return block;
}

void* plainAllocate(std::size_t size) {
    for (;;) {
        if (void* block = std::malloc(size ? size : 1)) return block;
        std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}

}  // namespace

void* smallAllocate(std::size_t size) {
    if (size <= LargestSmall && poolServes()) {
        int sizeClass = classOf(size);
        if (Block* block = heap.free[sizeClass]) {
            heap.free[sizeClass] = block->next;
            return block;
        }
        if (void* block = refill(sizeClass)) return block;
    }
    return plainAllocate(size);
}

void smallRelease(void* block) noexcept {
    if (!block) return;
    if (!inPool(block)) {
        std::free(block);
        return;
    }
    if (onOwnerThread())
        pushFree(static_cast<Block*>(block));
    else
        pushRemote(static_cast<Block*>(block));
}

bool smallHeapInUse() noexcept { return poolServes(); }

// ==== The global operator new and delete ====

void* operator new(std::size_t size) { return smallAllocate(size); }
void* operator new[](std::size_t size) { return smallAllocate(size); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return smallAllocate(size);
    } catch (...) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }

void operator delete(void* block) noexcept { smallRelease(block); }
void operator delete[](void* block) noexcept { smallRelease(block); }
void operator delete(void* block, std::size_t) noexcept { smallRelease(block); }
void operator delete[](void* block, std::size_t) noexcept { smallRelease(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { smallRelease(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { smallRelease(block); }
