// The emulated handheld's heap for malloc and free: a region of guest memory of the size the
// test sets, blocks handed out first fit and taken back whole. It refuses allocations when the
// host stand-in's allocation counter says so (platform/host/allocations.cpp), and notes there
// every block it gives and takes back, so that the host suite's ways of failing the heap and
// of counting what a command leaves behind serve the emulated run as well.
#ifndef DUNVATEL_DEVICE_EMULATOR_GUEST_HEAP_H
#define DUNVATEL_DEVICE_EMULATOR_GUEST_HEAP_H

#include <cstdint>
#include <map>
#include <set>

class GuestHeap
{
  public:
    GuestHeap(uint32_t base, uint32_t size);
    // A block of at least `size` bytes, 8-byte aligned, or 0 when the region has no room or the
    // stand-in refuses it. `caller` is kept for the report of blocks still held.
    uint32_t Allocate(uint32_t size, uint32_t caller);
    enum FreeResult
    {
        FREED,
        NEVER_GIVEN,
        ALREADY_FREED
    };
    FreeResult Free(uint32_t block);
    struct Block
    {
        uint32_t size;
        uint32_t caller;
    };
    const std::map<uint32_t, Block>& liveBlocks() const
    {
        return live_;
    }
    // The most bytes held at once since the last ResetPeak, counted as the program asked for
    // them.
    uint32_t peakBytes() const
    {
        return peak_;
    }
    void ResetPeak()
    {
        peak_ = held_;
    }

  private:
    std::map<uint32_t, uint32_t> free_; // start -> size, no two adjacent
    std::map<uint32_t, Block> live_;
    std::set<uint32_t> freed_; // blocks given and taken back, not given again since
    uint32_t held_ = 0;
    uint32_t peak_ = 0;
};

#endif
