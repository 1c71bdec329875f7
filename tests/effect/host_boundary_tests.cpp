// The host is C code: no exception may unwind into it, neither from the entry
// while the effect is built nor from the record's function pointers.
#include "allocation_probe.h"

#include "support/velmora_bundle.h"
#include "vst/plugin_effect_x.h"
#include "vsthost/module_path.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <stdexcept>
#include <vector>

namespace
{
// Allocations inside the framework stand-ins are never failed here: how that
// layer copes with running out of memory is not what these cases guard.
constexpr char kPlatformModule[] = "libVelmoraPlatform";

VstIntPtr versionOnlyHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

// The bundle stays loaded (it is built nodelete), so the handle is never closed.
VstPluginMainProc bundleEntry()
{
    std::string error;
    const std::string module = vsthost::resolveModulePath(testsupport::velmoraBundlePath(), error);
    void* library = module.empty() ? nullptr : dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    return library ? reinterpret_cast<VstPluginMainProc>(dlsym(library, "VSTPluginMain")) : nullptr;
}

void closeEffect(AEffect* record) { record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f); }

// What one run of `make` allocates; `unmake` undoes it.
template <typename Make, typename Unmake>
long allocationsOf(Make make, Unmake unmake)
{
    const long before = allocationprobe::allocations();
    make();
    const long count = allocationprobe::allocations() - before;
    unmake();
    return count;
}

// Runs `attempt` with allocation n failing, for n = 1, 2, ... until a run
// meets no failure; `settle` follows each run with allocations working again
// and learns whether one failed. Answers each n after which more blocks were
// live than before the first run.
template <typename Attempt, typename Settle>
std::vector<long> leaksWhileEachAllocationFails(Attempt attempt, Settle settle)
{
    const long liveBefore = allocationprobe::liveBlocks();
    std::vector<long> leakedAt;
    for (long nth = 1;; ++nth)
    {
        allocationprobe::failAllocation(nth, kPlatformModule);
        attempt(nth);
        const bool failed = allocationprobe::failureThrown();
        allocationprobe::failAllocation(0);
        settle(failed);
        if (!failed)
            return leakedAt;
        if (allocationprobe::liveBlocks() != liveBefore)
            leakedAt.push_back(nth);
    }
}

class ThrowingEffect : public PluginEffectX
{
public:
    explicit ThrowingEffect(bool& destroyedFlag) : PluginEffectX(nullptr, 1, 1), destroyed(destroyedFlag) {}
    ~ThrowingEffect() override { destroyed = true; }

    VstIntPtr dispatcher(VstInt32, VstInt32, VstIntPtr, void*, float) override { throw std::runtime_error("dispatch"); }
    void process(float**, float**, VstInt32) override { throw std::runtime_error("process"); }
    void processReplacing(float**, float**, VstInt32) override { throw std::runtime_error("process"); }
    void processDoubleReplacing(double**, double**, VstInt32) override { throw std::runtime_error("process"); }
    void setParameter(VstInt32, float) override { throw std::runtime_error("set"); }
    float getParameter(VstInt32) override { throw std::runtime_error("get"); }

private:
    bool& destroyed;
};
}  // namespace

TEST(HostBoundary, FailedAllocationWhileBuildingGivesNullEntryAndLeaksNothing)
{
    const VstPluginMainProc entry = bundleEntry();
    ASSERT_NE(entry, nullptr) << "no VSTPluginMain in the bundle at " << testsupport::velmoraBundlePath();
    AEffect* record = nullptr;
    const auto build = [&] { record = entry(versionOnlyHost); };
    const auto close = [&] { closeEffect(record); };
    // The first instance makes what the process keeps from then on; the
    // second shows what a whole instance allocates.
    build();
    ASSERT_NE(record, nullptr);
    close();
    const long wholeAllocations = allocationsOf(build, close);

    const std::vector<long> leakedAt = leaksWhileEachAllocationFails(
        [&](long nth) { EXPECT_NO_THROW(build()) << "allocation " << nth << " failed"; },
        [&](bool failed) {
            EXPECT_EQ(record == nullptr, failed) << "a failed build answers null, a whole one its record";
            if (record)
                close();
        });
    EXPECT_TRUE(leakedAt.empty()) << "blocks leaked when these allocations failed: "
                                  << ::testing::PrintToString(leakedAt);
    EXPECT_EQ(allocationsOf(build, close), wholeAllocations)
        << "an instance after the failures is built as whole as before them (panel images found)";
}

// An open that runs out of memory part-way keeps nothing of what it made: no
// view leaks, none is released twice, and the next open makes them all.
TEST(HostBoundary, FailedAllocationWhileOpeningTheEditorLeaksNoViewAndTheNextOpenIsWhole)
{
    const VstPluginMainProc entry = bundleEntry();
    ASSERT_NE(entry, nullptr) << "no VSTPluginMain in the bundle at " << testsupport::velmoraBundlePath();
    AEffect* record = entry(versionOnlyHost);
    ASSERT_NE(record, nullptr);
    // Without a parent window the frame holds its views and opens no window.
    const auto open = [record] { record->dispatcher(record, effEditOpen, 0, 0, nullptr, 0.0f); };
    const auto close = [record] { record->dispatcher(record, effEditClose, 0, 0, nullptr, 0.0f); };
    open();
    close();
    const long wholeOpen = allocationsOf(open, close);

    const std::vector<long> leakedAt = leaksWhileEachAllocationFails([&](long) { open(); }, [&](bool) { close(); });
    EXPECT_TRUE(leakedAt.empty()) << "blocks leaked when these allocations failed: "
                                  << ::testing::PrintToString(leakedAt);
    EXPECT_EQ(allocationsOf(open, close), wholeOpen) << "an open after the failures makes every view";
    closeEffect(record);
}

TEST(HostBoundary, ExceptionFromTheEffectStopsAtTheRecordWithTheFallbackAnswer)
{
    bool destroyed = false;
    AEffect* record = (new ThrowingEffect(destroyed))->getAeffect();
    float left[4] = {};
    float right[4] = {};
    float* channels[2] = {left, right};
    double doubleLeft[4] = {};
    double doubleRight[4] = {};
    double* doubleChannels[2] = {doubleLeft, doubleRight};
    char text[64] = {};

    EXPECT_EQ(record->dispatcher(record, effGetEffectName, 0, 0, text, 0.0f), 0);
    EXPECT_EQ(record->getParameter(record, 0), 0.0f);
    EXPECT_NO_THROW(record->setParameter(record, 0, 0.5f));
    EXPECT_NO_THROW(record->process(record, channels, channels, 4));
    EXPECT_NO_THROW(record->processReplacing(record, channels, channels, 4));
    EXPECT_NO_THROW(record->processDoubleReplacing(record, doubleChannels, doubleChannels, 4));
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_TRUE(destroyed) << "effClose frees the effect even when its own close throws";
}
