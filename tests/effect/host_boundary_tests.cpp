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
    // The first instance makes what the process keeps from then on; the
    // second shows what a whole instance allocates.
    AEffect* first = entry(versionOnlyHost);
    ASSERT_NE(first, nullptr);
    closeEffect(first);
    const long allocationsBefore = allocationprobe::allocations();
    AEffect* whole = entry(versionOnlyHost);
    const long wholeAllocations = allocationprobe::allocations() - allocationsBefore;
    closeEffect(whole);
    const long liveBefore = allocationprobe::liveBlocks();

    // Fail each allocation of the construction in turn, until one runs through.
    std::vector<long> leakedAt;
    for (long nth = 1;; ++nth)
    {
        allocationprobe::failAllocation(nth, kPlatformModule);
        AEffect* record = nullptr;
        ASSERT_NO_THROW(record = entry(versionOnlyHost)) << "allocation " << nth << " failed";
        const bool failed = allocationprobe::failureThrown();
        allocationprobe::failAllocation(0);
        if (!failed)
        {
            ASSERT_NE(record, nullptr);
            closeEffect(record);
            break;
        }
        EXPECT_EQ(record, nullptr) << "allocation " << nth << " failed";
        if (allocationprobe::liveBlocks() != liveBefore)
            leakedAt.push_back(nth);
    }
    EXPECT_TRUE(leakedAt.empty()) << "blocks leaked when these allocations failed: "
                                  << ::testing::PrintToString(leakedAt);

    const long lastBefore = allocationprobe::allocations();
    AEffect* last = entry(versionOnlyHost);
    EXPECT_EQ(allocationprobe::allocations() - lastBefore, wholeAllocations)
        << "an instance after the failures is built as whole as before them (panel images found)";
    closeEffect(last);
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
