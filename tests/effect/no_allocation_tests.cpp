// The audio-thread entry points of the built bundle allocate nothing. Every
// operator new in this process, the dlopened bundle's included, lands here.
// The array forms are replaced too: sanitizer runtimes intercept them apart.
#include "effect/velmora_identity.h"
#include "support/signals.h"
#include "support/velmora_bundle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// The replacements below pair malloc with free by design; GCC cannot see that
// the two halves belong together.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace
{
std::atomic<long> gAllocationCount{0};
std::atomic<std::size_t> gAllocatedBytes{0};
}  // namespace

void* operator new(std::size_t size)
{
    gAllocationCount.fetch_add(1, std::memory_order_relaxed);
    gAllocatedBytes.fetch_add(size, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

TEST(RealTimeSafety, ProcessingAndParameterChangesDoNotAllocate)
{
    const std::size_t bytesBeforeLoad = gAllocatedBytes.load();
    auto effect = testsupport::openVelmora();
    ASSERT_NE(effect, nullptr);
    ASSERT_GE(gAllocatedBytes.load() - bytesBeforeLoad, 16u << 20)
        << "the counter sees the bundle's own allocations (four 4 MiB delay rings)";

    testsupport::StereoBuffer input(testsupport::noise(4096, 1), testsupport::noise(4096, 2));
    testsupport::StereoBuffer output(4096);
    float** in = input.channels();
    float** out = output.channels();
    AEffect* record = effect->effect();

    const long before = gAllocationCount.load();
    for (int block = 0; block < 50; ++block)
    {
        record->setParameter(record, velmora::kSize, static_cast<float>(block) / 50.0f);
        record->setParameter(record, velmora::kOnOff, static_cast<float>(block % 2));
        record->processReplacing(record, in, out, 4096);
        record->processReplacing(record, in, in, 4096);
    }
    EXPECT_EQ(gAllocationCount.load(), before) << "processReplacing and setParameter allocated";
}
