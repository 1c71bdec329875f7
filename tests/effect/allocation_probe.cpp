#include "allocation_probe.h"

#include <dlfcn.h>
#include <execinfo.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

// The replacements below pair malloc with free by design; GCC cannot see that
// the two halves belong together.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace
{
std::atomic<long> gAllocationCount{0};
std::atomic<std::size_t> gAllocatedBytes{0};
std::atomic<long> gLiveBlocks{0};
std::atomic<long> gFailCountdown{0};
std::atomic<bool> gFailureThrown{false};
std::atomic<const char*> gSparedModule{nullptr};

// Whether a function of the spared module is on the calling stack.
bool calledFromSparedModule()
{
    const char* spared = gSparedModule.load();
    if (!spared)
        return false;
    void* frames[64];
    const int count = backtrace(frames, 64);
    for (int n = 0; n < count; ++n)
    {
        Dl_info info{};
        if (dladdr(frames[n], &info) != 0 && info.dli_fname && std::strstr(info.dli_fname, spared))
            return true;
    }
    return false;
}

void release(void* memory) noexcept
{
    if (!memory)
        return;
    gLiveBlocks.fetch_sub(1, std::memory_order_relaxed);
    std::free(memory);
}
}  // namespace

namespace allocationprobe
{
long allocations() { return gAllocationCount.load(); }
std::size_t allocatedBytes() { return gAllocatedBytes.load(); }
long liveBlocks() { return gLiveBlocks.load(); }

void failAllocation(long nth, const char* sparedModule)
{
    gFailureThrown.store(false);
    gSparedModule.store(sparedModule);
    gFailCountdown.store(nth);
}

bool failureThrown() { return gFailureThrown.load(); }
}  // namespace allocationprobe

void* operator new(std::size_t size)
{
    if (gFailCountdown.load(std::memory_order_relaxed) > 0 && !calledFromSparedModule() &&
        gFailCountdown.fetch_sub(1) == 1)
    {
        gFailureThrown.store(true);
        throw std::bad_alloc();
    }
    gAllocationCount.fetch_add(1, std::memory_order_relaxed);
    gAllocatedBytes.fetch_add(size, std::memory_order_relaxed);
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (!memory)
        throw std::bad_alloc();
    gLiveBlocks.fetch_add(1, std::memory_order_relaxed);
    return memory;
}

// The array forms are replaced too: sanitizer runtimes intercept them apart.
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { release(memory); }
void operator delete(void* memory, std::size_t) noexcept { release(memory); }
void operator delete[](void* memory) noexcept { release(memory); }
void operator delete[](void* memory, std::size_t) noexcept { release(memory); }
