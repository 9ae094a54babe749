// glibc lets a program replace malloc and its family; its own internals (stdio, iconv) then
// allocate through the replacement too. The replacements forward to glibc's allocator and
// account each block by its usable size, which free can ask for again.
#include "bench/heap_counter.h"

#include <malloc.h>
#include <stddef.h>

#include <atomic>
#include <new>

extern "C"
{
    void* __libc_malloc(size_t size);
    void* __libc_calloc(size_t count, size_t size);
    void* __libc_realloc(void* block, size_t size);
    void* __libc_memalign(size_t alignment, size_t size);
    void __libc_free(void* block);
}

namespace
{

std::atomic<long long> g_inUse{0};
std::atomic<long long> g_peak{0};
std::atomic<long long> g_atReset{0};

void Count(void* block)
{
    if (!block)
        return;
    long long now = g_inUse.fetch_add((long long)malloc_usable_size(block)) +
                    (long long)malloc_usable_size(block);
    long long peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now))
    {
    }
}

void Uncount(void* block)
{
    if (block)
        g_inUse.fetch_sub((long long)malloc_usable_size(block));
}

} // namespace

void ResetHeapPeak()
{
    g_atReset = g_inUse.load();
    g_peak = g_atReset.load();
}

long long HeapPeakSinceReset()
{
    return g_peak.load() - g_atReset.load();
}

extern "C"
{

    void* malloc(size_t size)
    {
        void* block = __libc_malloc(size);
        Count(block);
        return block;
    }

    void* calloc(size_t count, size_t size)
    {
        void* block = __libc_calloc(count, size);
        Count(block);
        return block;
    }

    void* realloc(void* block, size_t size)
    {
        Uncount(block);
        void* moved = __libc_realloc(block, size);
        if (moved)
            Count(moved);
        else if (block && size)
            Count(block); // the old block stays when the move fails
        return moved;
    }

    void free(void* block)
    {
        Uncount(block);
        __libc_free(block);
    }

    void* memalign(size_t alignment, size_t size)
    {
        void* block = __libc_memalign(alignment, size);
        Count(block);
        return block;
    }

    void* aligned_alloc(size_t alignment, size_t size)
    {
        return memalign(alignment, size);
    }

    int posix_memalign(void** result, size_t alignment, size_t size)
    {
        void* block = memalign(alignment, size);
        if (!block)
            return 12; // ENOMEM
        *result = block;
        return 0;
    }

} // extern "C"

// C++ allocations bypass the counter.
void* operator new(size_t size)
{
    void* block = __libc_malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    return block;
}

void* operator new[](size_t size)
{
    return operator new(size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return __libc_malloc(size ? size : 1);
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return __libc_malloc(size ? size : 1);
}

void operator delete(void* block) noexcept
{
    __libc_free(block);
}

void operator delete[](void* block) noexcept
{
    __libc_free(block);
}

void operator delete(void* block, size_t) noexcept
{
    __libc_free(block);
}

void operator delete[](void* block, size_t) noexcept
{
    __libc_free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    __libc_free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    __libc_free(block);
}
