// The Component Manager and the Audio Unit calls, driven as a Mac host drives
// them, against the test component bundle.
#include "platform_test_support.h"

#include <AudioUnit/AudioUnit.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace
{

namespace fs = std::filesystem;
using platformtest::registerBundle;
using platformtest::testComponent;
using platformtest::testComponentLog;

constexpr OSType kEffect = kAudioUnitType_Effect;
constexpr OSType kRefusing = kAudioUnitType_MusicDevice;

size_t componentCount()
{
    ComponentDescription any = {};
    size_t count = 0;
    for (Component next = FindNextComponent(nullptr, &any); next; next = FindNextComponent(next, &any))
        ++count;
    return count;
}

TEST(ComponentRegistration, BrokenBundlesRegisterNothing)
{
    platformtest::TemporaryFolder folder;
    auto bundleWith = [&folder, made = 0](const std::string& entries) mutable {
        const fs::path bundle = folder.path() / (std::to_string(++made) + ".bundle");
        fs::create_directories(bundle / "Contents/x86_64-linux");
        fs::copy_file(TEST_COMPONENT_MODULE, bundle / "Contents/x86_64-linux/TestComponent.so");
        platformtest::writeFile(bundle / "Contents/Info.plist",
                                "<plist version=\"1.0\"><dict><key>CFBundleExecutable</key><string>TestComponent"
                                "</string><key>AudioComponents</key><array>" +
                                    entries + "</array></dict></plist>");
        return bundle;
    };
    const auto entry = [](const char* type, const char* factory, const char* more = "") {
        return std::string("<dict><key>type</key><string>") + type +
               "</string><key>subtype</key><string>Brkn</string><key>manufacturer</key><string>Exmp</string>"
               "<key>name</key><string>Broken</string><key>factoryFunction</key><string>" +
               factory + "</string>" + more + "</dict>";
    };
    const size_t before = componentCount();
    EXPECT_EQ(registerBundle(bundleWith("")), resNotFound);
    EXPECT_EQ(registerBundle(bundleWith(entry("aufx", "TestComponentEntry") + entry("aufx", "NoSuchEntry"))),
              componentDllEntryNotFoundErr)
        << "a missing factory fails the bundle before its good entry is kept";
    EXPECT_EQ(registerBundle(bundleWith(entry("fx", "TestComponentEntry"))), paramErr) << "four characters";
    EXPECT_EQ(registerBundle(bundleWith(entry("aufx", "TestComponentEntry", "<key>version</key><string>1.0</string>"))),
              paramErr)
        << "a version must be an integer";
    EXPECT_EQ(componentCount(), before);
}

TEST(ComponentInstances, EachOpenInstanceKeepsItsOwnStorageAndClosedHandlesStayInvalid)
{
    std::vector<ComponentInstance> instances(40);
    for (ComponentInstance& instance : instances)
        ASSERT_EQ(OpenAComponent(testComponent(kEffect), &instance), noErr);
    for (ComponentInstance instance : instances)
    {
        auto* storage = reinterpret_cast<TestComponentStorage*>(GetComponentInstanceStorage(instance));
        ASSERT_NE(storage, nullptr);
        EXPECT_EQ(storage->self, instance) << "the entry's Open got its own instance as its argument";
    }
    for (ComponentInstance instance : instances)
        ASSERT_EQ(CloseComponent(instance), noErr);
    EXPECT_EQ(testComponentLog().liveInstances, 0) << "Close reached each entry with its storage";

    ComponentInstance reopened = nullptr;
    ASSERT_EQ(OpenAComponent(testComponent(kEffect), &reopened), noErr);
    const ComponentInstance closed = instances.front();
    EXPECT_NE(reopened, closed) << "a reused slot gets a new handle";
    EXPECT_EQ(GetComponentInstanceStorage(closed), nullptr);
    const int callsBefore = testComponentLog().calls;
    EXPECT_EQ(AudioUnitInitialize(closed), badComponentInstance);
    EXPECT_EQ(CloseComponent(closed), invalidComponentID);
    EXPECT_EQ(testComponentLog().calls, callsBefore) << "no call on a closed instance reaches an entry";
    EXPECT_EQ(CloseComponent(reopened), noErr);

    ComponentInstance refused = reopened;
    EXPECT_EQ(OpenAComponent(testComponent(kRefusing), &refused), -32767);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(testComponentLog().calls, callsBefore + 3) << "Close of the reopened instance, Open and Close";
    EXPECT_EQ(testComponentLog().last.what, kComponentCloseSelect) << "Close follows the failed Open";
    EXPECT_EQ(testComponentLog().last.storage, nullptr);
}

long slotOf(const void* pointer) { return reinterpret_cast<long>(pointer); }

long slotOf(Float32 value)
{
    long slot = 0;
    std::memcpy(&slot, &value, sizeof value);
    return slot;
}

// Slots as a Mac entry reads them: params[0] the instance, then one per
// argument in declaration order.
TEST(AudioUnitCalls, EachCallReachesTheEntryWithItsSelectorAndArgumentsInOrder)
{
    ComponentInstance unit = nullptr;
    ASSERT_EQ(OpenAComponent(testComponent(kEffect), &unit), noErr);
    UInt32 size = 0;
    Boolean writable = false;
    char data[16];
    AudioUnitRenderActionFlags flags = 0;
    AudioTimeStamp stamp = {};
    AudioBufferList buffers = {};
    const struct
    {
        std::function<OSStatus()> call;
        SInt16 selector;
        std::vector<long> arguments;
    } calls[] = {
        {[&] { return AudioUnitReset(unit, 2, 5); }, kAudioUnitResetSelect, {2, 5}},
        {[&] { return AudioUnitGetPropertyInfo(unit, 8, 1, 3, &size, &writable); },
         kAudioUnitGetPropertyInfoSelect,
         {8, 1, 3, slotOf(&size), slotOf(&writable)}},
        {[&] { return AudioUnitSetProperty(unit, 14, 0, 0, data, 0xFFFFFFFF); },
         kAudioUnitSetPropertySelect,
         {14, 0, 0, slotOf(data), 0xFFFFFFFFL}},
        {[&] { return AudioUnitSetParameter(unit, 2, 0, 1, 0.25f, 64); },
         kAudioUnitSetParameterSelect,
         {2, 0, 1, slotOf(0.25f), 64}},
        {[&] { return AudioUnitRender(unit, &flags, &stamp, 1, 512, &buffers); },
         kAudioUnitRenderSelect,
         {slotOf(&flags), slotOf(&stamp), 1, 512, slotOf(&buffers)}},
        {[&] { return MusicDeviceMIDIEvent(unit, 0x90, 60, 100, 17); },
         kMusicDeviceMIDIEventSelect,
         {0x90, 60, 100, 17}},
    };
    for (const auto& expected : calls)
    {
        SCOPED_TRACE(expected.selector);
        expected.call();  // the status is the entry's own: only the packing matters here
        const TestComponentCall& seen = testComponentLog().last;
        EXPECT_EQ(seen.what, expected.selector);
        EXPECT_EQ(seen.paramSize, expected.arguments.size() * sizeof(long));
        EXPECT_EQ(seen.slots[0], reinterpret_cast<long>(unit));
        for (size_t index = 0; index < expected.arguments.size(); ++index)
            EXPECT_EQ(seen.slots[index + 1], expected.arguments[index]) << "argument " << index;
    }
    AudioUnitParameterValue value = -1;
    EXPECT_EQ(AudioUnitGetParameter(unit, 3, 0, 0, &value), noErr);
    EXPECT_EQ(value, 1.5f) << "the entry wrote through the pointer it unpacked";
    EXPECT_EQ(AudioUnitGetParameter(nullptr, 3, 0, 0, &value), badComponentInstance);
    EXPECT_EQ(MusicDeviceMIDIEvent(unit, 0x90, 60, 100, 17), badComponentSelector) << "a 32-bit status arrives whole";
    EXPECT_EQ(CloseComponent(unit), noErr);
}

}  // namespace
