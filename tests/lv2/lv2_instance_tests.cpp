// The LV2 plug-in through a small host of our own: the program bank through
// the state interface, a host that offers no features, and run's promise
// not to allocate.
#include "allocation_probe.h"
#include "bundle_module.h"
#include "lv2/lv2_identity.h"
#include "support/signals.h"

#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <dlfcn.h>

#include <array>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace
{
using namespace velmora;
using namespace velmora::lv2;

struct StoredValue
{
    LV2_URID type = 0;
    std::vector<char> bytes;
};
// A saved state as a host keeps it; the instances share the fixture's URID map.
using SavedState = std::map<LV2_URID, StoredValue>;

class Lv2Instance : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(lv2test::loadDescriptor("velmora.so", "lv2_descriptor", library, descriptor));
        EXPECT_STREQ(descriptor->URI, kPluginUri);
        state = static_cast<const LV2_State_Interface*>(descriptor->extension_data(LV2_STATE__interface));
        ASSERT_NE(state, nullptr);
    }

    void TearDown() override
    {
        for (LV2_Handle instance : instances)
            descriptor->cleanup(instance);
        if (library)
            dlclose(library);
    }

    LV2_Handle instantiate(bool withMap, double sampleRate = 44100.0)
    {
        const LV2_Feature* features[] = {&mapFeature, nullptr};
        LV2_Handle instance = descriptor->instantiate(descriptor, sampleRate, VELMORA_LV2_BUNDLE,
                                                      withMap ? features : nullptr);
        EXPECT_NE(instance, nullptr);
        if (instance)
            instances.push_back(instance);
        return instance;
    }

    // Ports on this fixture's controls and buffers, then activate.
    void connectAndActivate(LV2_Handle instance, std::size_t frames)
    {
        in = testsupport::StereoBuffer(testsupport::noise(frames, 3), testsupport::noise(frames, 4));
        out = testsupport::StereoBuffer(frames);
        for (std::uint32_t port = 0; port < kNumParams; ++port)
            descriptor->connect_port(instance, port, &controls[port]);
        descriptor->connect_port(instance, kInLeft, in.left.data());
        descriptor->connect_port(instance, kInRight, in.right.data());
        descriptor->connect_port(instance, kOutLeft, out.left.data());
        descriptor->connect_port(instance, kOutRight, out.right.data());
        descriptor->activate(instance);
    }

    LV2_State_Status save(LV2_Handle instance, SavedState& saved)
    {
        current = &saved;
        return state->save(instance, store, this, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, nullptr);
    }
    LV2_State_Status restore(LV2_Handle instance, SavedState& saved)
    {
        current = &saved;
        return state->restore(instance, retrieve, this, 0, nullptr);
    }

    LV2_URID map(const std::string& uri) { return uris.try_emplace(uri, uris.size() + 1).first->second; }

    StoredValue text(const std::string& value)
    {
        return {map(LV2_ATOM__String), std::vector<char>(value.c_str(), value.c_str() + value.size() + 1)};
    }
    template <typename Number>
    StoredValue number(Number value, const char* type = LV2_ATOM__Float)
    {
        StoredValue stored{map(type), std::vector<char>(sizeof value)};
        std::memcpy(stored.bytes.data(), &value, sizeof value);
        return stored;
    }
    template <typename Number = float>
    Number numberIn(const SavedState& saved, const std::string& key)
    {
        Number value = -1;
        const auto found = saved.find(map(key));
        if (found != saved.end() && found->second.bytes.size() == sizeof value)
            std::memcpy(&value, found->second.bytes.data(), sizeof value);
        return value;
    }

    std::array<float, kNumParams> controls{1.0f, 0.5f, 0.5f};
    testsupport::StereoBuffer in{0}, out{0};
    const LV2_Descriptor* descriptor = nullptr;

private:
    static LV2_URID mapCallback(LV2_URID_Map_Handle handle, const char* uri)
    {
        return static_cast<Lv2Instance*>(handle)->map(uri);
    }
    static LV2_State_Status store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                                  uint32_t)
    {
        auto* host = static_cast<Lv2Instance*>(handle);
        const auto* bytes = static_cast<const char*>(value);
        (*host->current)[key] = {type, std::vector<char>(bytes, bytes + size)};
        return LV2_STATE_SUCCESS;
    }
    static const void* retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags)
    {
        auto* host = static_cast<Lv2Instance*>(handle);
        const auto found = host->current->find(key);
        if (found == host->current->end())
            return nullptr;
        *size = found->second.bytes.size();
        *type = found->second.type;
        *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
        return found->second.bytes.data();
    }

    void* library = nullptr;
    const LV2_State_Interface* state = nullptr;
    std::map<std::string, LV2_URID> uris;
    LV2_URID_Map uridMap{this, mapCallback};
    LV2_Feature mapFeature{LV2_URID__map, &uridMap};
    std::vector<LV2_Handle> instances;
    SavedState* current = nullptr;
};

// Saved sessions know the parameters by these symbols and keys; a parameter
// that is renamed keeps them.
TEST(Lv2Identity, SymbolsAndStateKeysStayWhatSessionsStored)
{
    EXPECT_STREQ(kParameters[kOnOff].symbol, "on_off");
    EXPECT_STREQ(kParameters[kSize].symbol, "size");
    EXPECT_STREQ(kParameters[kDryWet].symbol, "dry_wet");
    EXPECT_EQ(currentProgramKey(), "urn:quarn-records:velmora#currentProgram");
    EXPECT_EQ(programNameKey(0), "urn:quarn-records:velmora#program1-name");
    EXPECT_EQ(programValueKey(7, kParameters[kDryWet]), "urn:quarn-records:velmora#program8-dry_wet");
}

TEST_F(Lv2Instance, RenamedProgramsAndTheirValuesReopenInANewInstance)
{
    const ParameterInfo& size = kParameters[kSize];
    SavedState session{
        {map(currentProgramKey()), number(std::int32_t{2}, LV2_ATOM__Int)},
        {map(programNameKey(2)), text("Wide drums")},
        {map(programValueKey(2, size)), number(0.9f)},
        {map(programNameKey(5)), text("A name far longer than the record holds")},
        {map(programValueKey(6, kParameters[kDryWet])), number(0.125f)},
    };

    LV2_Handle first = instantiate(true);
    ASSERT_EQ(restore(first, session), LV2_STATE_SUCCESS);
    // The host moves Size: the change lands in the current program.
    controls[kSize] = 0.25f;
    connectAndActivate(first, 64);
    descriptor->run(first, 64);
    SavedState saved;
    ASSERT_EQ(save(first, saved), LV2_STATE_SUCCESS);

    LV2_Handle second = instantiate(true);
    ASSERT_EQ(restore(second, saved), LV2_STATE_SUCCESS);
    SavedState reopened;
    ASSERT_EQ(save(second, reopened), LV2_STATE_SUCCESS);

    for (const SavedState* state : {&saved, &reopened})
    {
        const auto name = [&](int program) { return state->at(map(programNameKey(program))).bytes.data(); };
        EXPECT_STREQ(name(2), "Wide drums");
        EXPECT_STREQ(name(5), "A name far longer than ") << "a name is cut to the 23 characters a program holds";
        EXPECT_STREQ(name(0), "Init") << "an untouched program kept its name";
        EXPECT_EQ(numberIn(*state, programValueKey(2, size)), 0.25f) << "the port's Size reached program 3";
        EXPECT_EQ(numberIn(*state, programValueKey(6, kParameters[kDryWet])), 0.125f);
        EXPECT_EQ(numberIn(*state, programValueKey(6, size)), size.defaultValue);
        EXPECT_EQ(numberIn<std::int32_t>(*state, currentProgramKey()), 2);
    }
}

TEST_F(Lv2Instance, HostWithoutFeaturesGetsNoState)
{
    LV2_Handle instance = instantiate(false);
    ASSERT_NE(instance, nullptr);
    SavedState saved;
    EXPECT_EQ(save(instance, saved), LV2_STATE_ERR_NO_FEATURE);
    EXPECT_TRUE(saved.empty());
    EXPECT_EQ(restore(instance, saved), LV2_STATE_ERR_NO_FEATURE);
}

TEST_F(Lv2Instance, RunAllocatesNothingWhateverTheHostSets)
{
    LV2_Handle instance = instantiate(true, 192000.0);
    connectAndActivate(instance, 4096);
    const long before = allocationprobe::allocations();
    for (float size : {0.0f, 1.0f, 0.37f, 2.0f, -1.0f})
    {
        controls = {size < 0.5f ? 0.0f : 1.0f, size, 1.0f - size};
        descriptor->run(instance, 4096);
    }
    EXPECT_EQ(allocationprobe::allocations(), before);
}
}  // namespace
