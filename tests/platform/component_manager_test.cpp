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

std::vector<Component> allComponents()
{
    std::vector<Component> found;
    ComponentDescription any = {};
    for (Component next = FindNextComponent(nullptr, &any); next; next = FindNextComponent(next, &any))
        found.push_back(next);
    return found;
}

constexpr OSType code(const char (&text)[5])
{
    return static_cast<OSType>(static_cast<UInt8>(text[0])) << 24 |
           static_cast<OSType>(static_cast<UInt8>(text[1])) << 16 |
           static_cast<OSType>(static_cast<UInt8>(text[2])) << 8 | static_cast<UInt8>(text[3]);
}

std::string pascalText(Handle handle) { return std::string(*handle + 1, static_cast<UInt8>((*handle)[0])); }

TEST(ComponentRegistration, BundleComponentsAreFoundByDescriptionAndRegisteredOnce)
{
    const Component effect = testComponent(kEffect);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(registerBundle(TEST_COMPONENT_BUNDLE), noErr);
    EXPECT_EQ(allComponents().size(), 2u) << "registering the bundle again adds no twin";

    ComponentDescription byMaker = {0, 0, code("Exmp"), 0, 0};
    EXPECT_EQ(FindNextComponent(nullptr, &byMaker), effect) << "zero fields match anything";
    EXPECT_EQ(FindNextComponent(effect, &byMaker), testComponent(kRefusing));
    ComponentDescription bySubtype = {0, code("TsRf"), 0, 0, 0};
    EXPECT_EQ(FindNextComponent(nullptr, &bySubtype), testComponent(kRefusing));
    ComponentDescription otherMaker = {kEffect, code("TsFx"), code("Othr"), 0, 0};
    EXPECT_EQ(FindNextComponent(nullptr, &otherMaker), nullptr);

    ComponentDescription described = {};
    Handle name = NewHandle(0);
    ASSERT_EQ(GetComponentInfo(effect, &described, name, nullptr, nullptr), noErr);
    EXPECT_EQ(described.componentType, kEffect);
    EXPECT_EQ(described.componentSubType, code("TsFx")) << "first character in the top byte";
    EXPECT_EQ(described.componentManufacturer, code("Exmp"));
    EXPECT_EQ(pascalText(name), "Example: Test Effect");

    ComponentInstance instance = nullptr;
    ASSERT_EQ(OpenAComponent(effect, &instance), noErr);
    ComponentDescription throughInstance = {};
    EXPECT_EQ(GetComponentInfo(reinterpret_cast<Component>(instance), &throughInstance, nullptr, nullptr, nullptr),
              noErr)
        << "an instance stands for its component, as a unit looking up its own description relies on";
    EXPECT_EQ(throughInstance.componentSubType, described.componentSubType);
    EXPECT_EQ(CloseComponent(instance), noErr);
    EXPECT_EQ(GetComponentInfo(reinterpret_cast<Component>(instance), &throughInstance, name, nullptr, nullptr),
              invalidComponentID);
    DisposeHandle(name);
}

TEST(ComponentRegistration, BrokenBundlesRegisterNothing)
{
    platformtest::TemporaryFolder folder;
    const auto makeBundle = [&folder](const std::string& bundleName, const std::string& entries) {
        const fs::path bundle = folder.path() / bundleName;
        fs::create_directories(bundle / "Contents/x86_64-linux");
        fs::copy_file(TEST_COMPONENT_MODULE, bundle / "Contents/x86_64-linux/TestComponent.so");
        platformtest::writeFile(bundle / "Contents/Info.plist",
                                "<plist version=\"1.0\"><dict><key>CFBundleExecutable</key><string>TestComponent"
                                "</string>" +
                                    entries + "</dict></plist>");
        return bundle;
    };
    const auto entry = [](const char* type, const char* factory) {
        return std::string("<dict><key>type</key><string>") + type +
               "</string><key>subtype</key><string>Brkn</string><key>manufacturer</key><string>Exmp</string>"
               "<key>name</key><string>Broken</string><key>factoryFunction</key><string>" +
               factory + "</string></dict>";
    };
    const size_t before = allComponents().size();

    EXPECT_EQ(registerBundle(folder.path() / "Missing.bundle"), fnfErr);
    EXPECT_EQ(registerBundle(makeBundle("None.bundle", "")), resNotFound);
    EXPECT_EQ(registerBundle(makeBundle("NoEntry.bundle", "<key>AudioComponents</key><array>" +
                                                              entry("aufx", "TestComponentEntry") +
                                                              entry("aufx", "NoSuchEntry") + "</array>")),
              componentDllEntryNotFoundErr)
        << "a missing factory fails the bundle before its good entry is kept";
    EXPECT_EQ(registerBundle(makeBundle("Short.bundle", "<key>AudioComponents</key><array>" +
                                                            entry("fx", "TestComponentEntry") + "</array>")),
              paramErr)
        << "a type must be four characters";
    EXPECT_EQ(
        registerBundle(makeBundle(
            "Version.bundle",
            "<key>AudioComponents</key><array>" +
                entry("aufx", "TestComponentEntry").insert(6, "<key>version</key><string>1.0</string>") + "</array>")),
        paramErr)
        << "a version must be an integer";
    EXPECT_EQ(allComponents().size(), before);
}

TEST(ComponentResources, ThngRecordCarriesTheDeclaredVersionForComponentAndInstance)
{
    const Component effect = testComponent(kEffect);
    ASSERT_NE(effect, nullptr);
    ComponentInstance instance = nullptr;
    ASSERT_EQ(OpenAComponent(effect, &instance), noErr);
    for (Component asked : {effect, reinterpret_cast<Component>(instance)})
    {
        Handle resource = nullptr;
        ASSERT_EQ(GetComponentResource(asked, kComponentResourceType, kComponentResourceID, &resource), noErr);
        ASSERT_GE(GetHandleSize(resource), static_cast<Size>(sizeof(ExtComponentResource)));
        const auto* record = reinterpret_cast<const ExtComponentResource*>(*resource);
        EXPECT_EQ(record->componentVersion, 66051) << "the AudioComponents entry's version";
        EXPECT_EQ(record->cd.componentSubType, code("TsFx"));
        DisposeHandle(resource);
    }
    Handle resource = reinterpret_cast<Handle>(&instance);
    EXPECT_EQ(GetComponentResource(effect, kComponentResourceType, 1, &resource), resNotFound);
    EXPECT_EQ(resource, nullptr);
    EXPECT_EQ(GetComponentResource(effect, code("STR "), kComponentResourceID, &resource), resNotFound);
    EXPECT_EQ(CloseComponent(instance), noErr);
    EXPECT_EQ(GetComponentResource(reinterpret_cast<Component>(instance), kComponentResourceType, kComponentResourceID,
                                   &resource),
              invalidComponentID);
}

TEST(ComponentInstances, EachOpenInstanceKeepsItsOwnStorageAndClosedHandlesStayInvalid)
{
    const Component effect = testComponent(kEffect);
    std::vector<ComponentInstance> instances(40);
    for (ComponentInstance& instance : instances)
        ASSERT_EQ(OpenAComponent(effect, &instance), noErr);
    for (ComponentInstance instance : instances)
    {
        auto* storage = reinterpret_cast<TestComponentStorage*>(GetComponentInstanceStorage(instance));
        ASSERT_NE(storage, nullptr);
        EXPECT_EQ(storage->self, instance) << "the entry's Open got its own instance as its argument";
    }
    EXPECT_EQ(testComponentLog().liveInstances, 40);

    AudioUnitInitialize(instances[7]);
    EXPECT_EQ(testComponentLog().last.storage, GetComponentInstanceStorage(instances[7]))
        << "the entry receives the instance's storage";

    for (ComponentInstance instance : instances)
        ASSERT_EQ(CloseComponent(instance), noErr);
    EXPECT_EQ(testComponentLog().liveInstances, 0) << "Close reached each entry with its storage";

    ComponentInstance reopened = nullptr;
    ASSERT_EQ(OpenAComponent(effect, &reopened), noErr);
    const ComponentInstance closed = instances.front();
    EXPECT_NE(reopened, closed) << "a reused slot gets a new handle";
    EXPECT_EQ(GetComponentInstanceStorage(closed), nullptr);
    const int callsBefore = testComponentLog().calls;
    EXPECT_EQ(AudioUnitInitialize(closed), badComponentInstance);
    EXPECT_EQ(AudioUnitInitialize(nullptr), badComponentInstance);
    EXPECT_EQ(CloseComponent(closed), invalidComponentID);
    EXPECT_EQ(testComponentLog().calls, callsBefore) << "no call on a closed instance reaches an entry";
    EXPECT_EQ(CloseComponent(reopened), noErr);
}

TEST(ComponentInstances, FailedOpenIsClosedAndLeavesNoInstance)
{
    ComponentInstance instance = reinterpret_cast<ComponentInstance>(1);
    const int callsBefore = testComponentLog().calls;
    EXPECT_EQ(OpenAComponent(testComponent(kRefusing), &instance), -32767) << "the entry's status";
    EXPECT_EQ(instance, nullptr);
    EXPECT_EQ(testComponentLog().calls, callsBefore + 2);
    EXPECT_EQ(testComponentLog().last.what, kComponentCloseSelect) << "Close follows the failed Open";
    EXPECT_EQ(testComponentLog().last.storage, nullptr);
    EXPECT_EQ(OpenAComponent(nullptr, &instance), invalidComponentID);
}

// Slots as a Mac entry reads them: params[0] the instance, then one per
// argument in declaration order.
struct Expected
{
    const char* call;
    std::function<OSStatus(AudioUnit)> make;
    SInt16 selector;
    std::vector<long> arguments;
};

long slotOf(const void* pointer) { return reinterpret_cast<long>(pointer); }

long slotOf(Float32 value)
{
    long slot = 0;
    std::memcpy(&slot, &value, sizeof value);
    return slot;
}

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
    AudioUnitParameterEvent events[2] = {};
    AudioUnitPropertyListenerProc listener = [](void*, AudioUnit, AudioUnitPropertyID, AudioUnitScope,
                                                AudioUnitElement) {};
    AURenderCallback notify = [](void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                                 AudioBufferList*) -> OSStatus { return noErr; };
    const long listenerSlot = reinterpret_cast<long>(listener);
    const long notifySlot = reinterpret_cast<long>(notify);

    const std::vector<Expected> calls = {
        {"Initialize", [](AudioUnit u) { return AudioUnitInitialize(u); }, kAudioUnitInitializeSelect, {}},
        {"Reset", [](AudioUnit u) { return AudioUnitReset(u, 2, 5); }, kAudioUnitResetSelect, {2, 5}},
        {"GetPropertyInfo",
         [&](AudioUnit u) { return AudioUnitGetPropertyInfo(u, 8, 1, 3, &size, &writable); },
         kAudioUnitGetPropertyInfoSelect,
         {8, 1, 3, slotOf(&size), slotOf(&writable)}},
        {"GetProperty",
         [&](AudioUnit u) { return AudioUnitGetProperty(u, 28, 0, 4, data, &size); },
         kAudioUnitGetPropertySelect,
         {28, 0, 4, slotOf(data), slotOf(&size)}},
        {"SetProperty",
         [&](AudioUnit u) { return AudioUnitSetProperty(u, 14, 0, 0, data, 0xFFFFFFFF); },
         kAudioUnitSetPropertySelect,
         {14, 0, 0, slotOf(data), 0xFFFFFFFFL}},
        {"AddPropertyListener",
         [&](AudioUnit u) { return AudioUnitAddPropertyListener(u, 21, listener, data); },
         kAudioUnitAddPropertyListenerSelect,
         {21, listenerSlot, slotOf(data)}},
        {"SetParameter",
         [](AudioUnit u) { return AudioUnitSetParameter(u, 2, 0, 1, 0.25f, 64); },
         kAudioUnitSetParameterSelect,
         {2, 0, 1, slotOf(0.25f), 64}},
        {"ScheduleParameters",
         [&](AudioUnit u) { return AudioUnitScheduleParameters(u, events, 2); },
         kAudioUnitScheduleParametersSelect,
         {slotOf(events), 2}},
        {"Render",
         [&](AudioUnit u) { return AudioUnitRender(u, &flags, &stamp, 1, 512, &buffers); },
         kAudioUnitRenderSelect,
         {slotOf(&flags), slotOf(&stamp), 1, 512, slotOf(&buffers)}},
        {"AddRenderNotify",
         [&](AudioUnit u) { return AudioUnitAddRenderNotify(u, notify, data); },
         kAudioUnitAddRenderNotifySelect,
         {notifySlot, slotOf(data)}},
        {"MIDIEvent",
         [](AudioUnit u) { return MusicDeviceMIDIEvent(u, 0x90, 60, 100, 17); },
         kMusicDeviceMIDIEventSelect,
         {0x90, 60, 100, 17}},
    };
    for (const Expected& expected : calls)
    {
        SCOPED_TRACE(expected.call);
        expected.make(unit);  // the status is the entry's own: only the packing matters here
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
    EXPECT_EQ(ComponentFunctionImplemented(unit, kAudioUnitRenderSelect), 1);
    EXPECT_EQ(ComponentFunctionImplemented(unit, kAudioUnitRemovePropertyListenerSelect), 0);
    EXPECT_EQ(GetComponentVersion(unit), 0x00010203);
    EXPECT_EQ(AudioUnitGetParameter(nullptr, 3, 0, 0, &value), badComponentInstance);
    ComponentParameters unknown = {};
    unknown.what = 99;
    unknown.params[0] = reinterpret_cast<long>(unit);
    EXPECT_EQ(CallComponentDispatch(&unknown), badComponentSelector) << "the entry's 32-bit status arrives whole";
    EXPECT_EQ(CloseComponent(unit), noErr);
}

}  // namespace
