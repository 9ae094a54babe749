// The C heap as program code sees it: every host executable is linked with malloc and free
// wrapped (platform/CMakeLists.txt), so that program code's own calls come here, unchanged,
// while the C and C++ libraries keep theirs. Tests can make a later allocation fail, as on a
// handheld short of memory, and count the blocks a command leaves behind. Another heap that
// program code allocates from (the emulated handheld's) counts its blocks here as well.
#include "platform/host/host_test_hooks.h"

#include <unordered_set>

extern "C"
{
    void* __real_malloc(size_t size);
    void __real_free(void* block);
    void* __wrap_malloc(size_t size);
    void __wrap_free(void* block);
}

namespace
{

struct AllocationFault
{
    bool armed;
    long made;     // allocations since the fault was armed
    long first;    // the first that fails, counted from 1; 0: none
    bool everyOne; // and every one after it
};

AllocationFault& Fault()
{
    static AllocationFault fault = {false, 0, 0, false};
    return fault;
}

// The blocks handed out since the fault was armed and not yet freed.
std::unordered_set<const void*>& LiveBlocks()
{
    static std::unordered_set<const void*> blocks;
    return blocks;
}

} // namespace

bool HostRefuseAllocation()
{
    AllocationFault& fault = Fault();
    if (!fault.armed)
        return false;
    long number = ++fault.made;
    return fault.first > 0 && (number == fault.first || (fault.everyOne && number > fault.first));
}

void HostNoteBlockGiven(const void* block)
{
    if (Fault().armed && block)
        LiveBlocks().insert(block);
}

void HostNoteBlockTaken(const void* block)
{
    if (Fault().armed)
        LiveBlocks().erase(block);
}

void* __wrap_malloc(size_t size)
{
    if (HostRefuseAllocation())
        return NULL;
    void* block = __real_malloc(size);
    HostNoteBlockGiven(block);
    return block;
}

void __wrap_free(void* block)
{
    HostNoteBlockTaken(block);
    __real_free(block);
}

void HostFailAllocations(long first, bool everyOne)
{
    Fault() = AllocationFault{true, 0, first, everyOne};
    LiveBlocks().clear();
}

long HostAllocationsMade()
{
    return Fault().made;
}

long HostLiveAllocations()
{
    return (long)LiveBlocks().size();
}

void HostClearAllocationFaults()
{
    Fault() = AllocationFault{false, 0, 0, false};
    LiveBlocks().clear();
}

void HostForEachFailingAllocation(const std::function<void(long failing)>& command,
                                  const std::function<void(long failing, long leftBehind)>& check)
{
    for (long failing = 1;; ++failing)
    {
        HostFailAllocations(failing);
        command(failing);
        bool failed = HostAllocationsMade() >= failing;
        long leftBehind = HostLiveAllocations();
        HostClearAllocationFaults();
        check(failed ? failing : 0, leftBehind);
        if (!failed)
            return;
    }
}
