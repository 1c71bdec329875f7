// The audio-thread entry points of the built bundle allocate nothing.
#include "allocation_probe.h"

#include "effect/velmora_identity.h"
#include "support/signals.h"
#include "support/velmora_bundle.h"

#include <gtest/gtest.h>

TEST(RealTimeSafety, ProcessingAndParameterChangesDoNotAllocate)
{
    const std::size_t bytesBeforeLoad = allocationprobe::allocatedBytes();
    auto effect = testsupport::openVelmora();
    ASSERT_NE(effect, nullptr);
    ASSERT_GE(allocationprobe::allocatedBytes() - bytesBeforeLoad, 64u << 10)
        << "the counter sees the bundle's own allocations (the 64 KiB delay ring)";

    testsupport::StereoBuffer input(testsupport::noise(4096, 1), testsupport::noise(4096, 2));
    testsupport::StereoBuffer output(4096);
    float** in = input.channels();
    float** out = output.channels();
    AEffect* record = effect->effect();

    const long before = allocationprobe::allocations();
    for (int block = 0; block < 50; ++block)
    {
        record->setParameter(record, velmora::kSize, static_cast<float>(block) / 50.0f);
        record->setParameter(record, velmora::kOnOff, static_cast<float>(block % 2));
        record->processReplacing(record, in, out, 4096);
        record->processReplacing(record, in, in, 4096);
    }
    EXPECT_EQ(allocationprobe::allocations(), before) << "processReplacing and setParameter allocated";

    // A rate that needs a larger ring: the interface thread makes it, the next
    // block takes it over, and the ring it replaced is freed off the audio thread.
    effect->dispatch(effSetSampleRate, 0, 0, nullptr, 192000.0f);
    const long allocationsBeforeHandover = allocationprobe::allocations();
    const long blocksBeforeHandover = allocationprobe::liveBlocks();
    record->processReplacing(record, in, out, 4096);
    EXPECT_EQ(allocationprobe::allocations(), allocationsBeforeHandover) << "taking the new ring allocated";
    EXPECT_EQ(allocationprobe::liveBlocks(), blocksBeforeHandover) << "the block freed the ring it replaced";
}
