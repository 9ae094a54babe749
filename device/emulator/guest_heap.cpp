#include "device/emulator/guest_heap.h"

#include "platform/host/host_test_hooks.h"

namespace
{

const uint32_t ALIGNMENT = 8;

uint32_t RoundUp(uint32_t size)
{
    return (size + ALIGNMENT - 1) & ~(ALIGNMENT - 1);
}

const void* AsKey(uint32_t block)
{
    return (const void*)(uintptr_t)block;
}

} // namespace

GuestHeap::GuestHeap(uint32_t base, uint32_t size)
{
    free_[base] = size;
}

uint32_t GuestHeap::Allocate(uint32_t size, uint32_t caller)
{
    if (HostRefuseAllocation())
        return 0;
    uint32_t taken = RoundUp(size ? size : 1);
    for (auto it = free_.begin(); it != free_.end(); ++it)
    {
        if (it->second < taken)
            continue;
        uint32_t block = it->first;
        uint32_t rest = it->second - taken;
        free_.erase(it);
        if (rest)
            free_[block + taken] = rest;
        live_[block] = Block{size, caller};
        freed_.erase(block);
        held_ += size;
        peak_ = held_ > peak_ ? held_ : peak_;
        HostNoteBlockGiven(AsKey(block));
        return block;
    }
    return 0;
}

GuestHeap::FreeResult GuestHeap::Free(uint32_t block)
{
    auto found = live_.find(block);
    if (found == live_.end())
        return freed_.count(block) ? ALREADY_FREED : NEVER_GIVEN;
    uint32_t size = RoundUp(found->second.size ? found->second.size : 1);
    held_ -= found->second.size;
    live_.erase(found);
    freed_.insert(block);
    HostNoteBlockTaken(AsKey(block));
    // Joins the block to the free space on either side.
    auto next = free_.find(block + size);
    if (next != free_.end())
    {
        size += next->second;
        free_.erase(next);
    }
    auto after = free_.lower_bound(block);
    if (after != free_.begin())
    {
        auto before = std::prev(after);
        if (before->first + before->second == block)
        {
            before->second += size;
            return FREED;
        }
    }
    free_[block] = size;
    return FREED;
}
