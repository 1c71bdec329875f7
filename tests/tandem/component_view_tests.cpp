// The Audio Unit's Cocoa view as a host opens it: the view information names
// this very bundle copy, the factory makes a view of the editor's size with the
// editor open in it, the host letting go closes the editor, a view outliving
// its component stays quiet, and the effect resizes the view; and a knob of
// Velmora's panel turned in the view, as the host hears it.

#include "component_test_support.h"

#include <gtest/gtest.h>

#include <AudioUnit/AUCocoaUIView.h>
#include <Carbon/Carbon.h>
#include <X11/Xlib.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

#include "auhost/event_loop.h"
#include "auhost/unit_listeners.h"
#include "auhost/unit_view.h"
#include "effect/velmora_identity.h"
#include "x11_server_test.h"

namespace
{
using namespace componenttest;

using Corners = std::array<double, 4>;
Corners corners(const NSRect& frame) { return {frame.origin.x, frame.origin.y, frame.size.width, frame.size.height}; }

FakeEffectControl& testEffectWithEditor()
{
    FakeEffectControl& effect = resetComponentTestEffect();
    effect.flags |= effFlagsHasEditor;
    return effect;
}

TEST(ComponentCocoaUI, NamesTheFactoryInThisBundleCopyAndOnlyForAnEffectWithAnEditor)
{
    resetComponentTestEffect();
    ComponentBundle withoutEditor(hostingTestEffect());
    OpenUnit plain(withoutEditor);
    AudioUnitCocoaViewInfo info{};
    EXPECT_EQ(getProperty(plain, kAudioUnitProperty_CocoaUI, info), kAudioUnitErr_InvalidProperty);

    // Every copy of the bundle registers a factory class of the same name.
    ComponentBundle other;
    OpenUnit otherUnit(other);
    ComponentBundle bundle;
    OpenUnit unit(bundle);
    ASSERT_EQ(getProperty(unit, kAudioUnitProperty_CocoaUI, info), noErr);
    char path[4096] = {};
    ASSERT_TRUE(CFURLGetFileSystemRepresentation(info.mCocoaAUViewBundleLocation, true, reinterpret_cast<UInt8*>(path),
                                                 sizeof path));
    EXPECT_EQ(fs::path(path), fs::canonical(bundle.path()));
    EXPECT_TRUE(CFEqual(info.mCocoaAUViewClass[0], CFSTR("comQuarnTandem_CocoaViewFactory")));

    const Owned<CFBundleRef> viewBundle(CFBundleCreate(nullptr, info.mCocoaAUViewBundleLocation));
    EXPECT_NE(NSBundleClassNamed(viewBundle.get(), info.mCocoaAUViewClass[0]), nullptr);
    CFRelease(info.mCocoaAUViewBundleLocation);
    CFRelease(info.mCocoaAUViewClass[0]);
}

class ComponentView : public editortest::X11ServerTest
{
protected:
    // The window's size once the server has it, read on a connection of our own.
    std::pair<int, int> windowSize(Window window, int width, int height)
    {
        XWindowAttributes attributes{};
        for (int attempt = 0; attempt < 50 && (attributes.width != width || attributes.height != height); ++attempt)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(attempt ? 10 : 0));
            XSync(display, False);
            XGetWindowAttributes(display, window, &attributes);
        }
        return {attributes.width, attributes.height};
    }
};

TEST_F(ComponentView, HoldsTheOpenEditorAtTheEffectsSizeOneAtATimeUntilTheHostOrTheComponentLetsGo)
{
    FakeEffectControl& effect = testEffectWithEditor();
    ComponentBundle bundle(hostingTestEffect());
    auto unit = std::make_unique<auhost::AudioUnitInstance>(bundle.component());
    {
        auhost::UnitView shown(*unit);
        EXPECT_EQ(corners(shown.view()->frame()), (Corners{0, 0, 400, 300})) << "the editor's rectangle is 400 x 300";
        EXPECT_EQ(effect.editOpenCalls, 1);
        EXPECT_EQ(effect.editorParent, reinterpret_cast<void*>(static_cast<std::uintptr_t>(shown.view()->x11Window())))
            << "the editor opens in the view's window";
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        XSync(display, False);
        ASSERT_TRUE(XQueryTree(display, shown.view()->x11Window(), &root, &parent, &children, &count));
        XFree(children);
        EXPECT_EQ(parent, shown.window()) << "the view sits in the host's window";

        RunCurrentEventLoop(0.2);
        EXPECT_GT(effect.editIdleCalls, 2) << "the idle timer gives effEditIdle while the editor is open";
        EXPECT_GE(effect.idleCalls, effect.editIdleCalls);

        EXPECT_EQ(effect.audioMaster(effect.effect, audioMasterSizeWindow, 500, 350, nullptr, 0.0f), 1);
        EXPECT_EQ(corners(shown.view()->frame()), (Corners{0, 0, 500, 350})) << "the effect resizes the view";
        EXPECT_EQ(windowSize(shown.view()->x11Window(), 500, 350), (std::pair{500, 350}));

        EXPECT_THROW(auhost::UnitView second(*unit), std::runtime_error) << "one view at a time";
        EXPECT_EQ(effect.editOpenCalls, 1);
        EXPECT_EQ(effect.editCloseCalls, 0);
    }
    EXPECT_EQ(effect.editCloseCalls, 1) << "letting the view go closes the editor";
    const int editIdleCalls = effect.editIdleCalls;
    RunCurrentEventLoop(0.1);
    EXPECT_EQ(effect.editIdleCalls, editIdleCalls);

    {
        auhost::UnitView again(*unit);
        EXPECT_EQ(effect.editOpenCalls, 2) << "a new request opens the editor again";
        unit.reset();
        EXPECT_EQ(effect.liveEffects, 0);
        EXPECT_EQ(effect.editCloseCalls, 2) << "the component's teardown closes the editor";
    }
    EXPECT_EQ(effect.editCloseCalls, 2) << "a view outliving its component calls nothing";
}

// The editor turns the loop itself after each change while it tracks the
// mouse, so no change waits in the listener's queue for the next one to merge
// with: each arrives with the value the unit has at that moment.
TEST_F(ComponentView, AKnobDragArrivesAsOneValueChangePerChangeForTheVstIndexInsideItsGesture)
{
    ComponentBundle bundle;
    auhost::AudioUnitInstance unit(bundle.component());
    unit.setParameter(velmora::kSize, 30.0f);
    auhost::EventCollector heard;
    heard.addParameter(unit.unit(), kAUParameterListener_AnyParameter);
    auhost::UnitView shown(unit);
    auhost::runEventLoop(0.2);
    heard.clear();

    // 40 pixels right from the middle of the Size knob at (110, 30): 5 in the
    // unit's range of 0..100 for every 10.
    drag(126, 46, 166);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the server's writes to the editor's connection
    auhost::runEventLoop(0.2);
    std::vector<AudioUnitEventType> types;
    for (const auhost::CollectedEvent& event : heard.events())
    {
        types.push_back(event.event.mEventType);
        EXPECT_EQ(event.event.mArgument.mParameter.mAudioUnit, unit.unit());
        EXPECT_EQ(event.event.mArgument.mParameter.mParameterID, AudioUnitParameterID{velmora::kSize})
            << "the Audio Unit parameter ID is the VST index";
    }
    EXPECT_EQ(types, (std::vector<AudioUnitEventType>{
                         kAudioUnitEvent_BeginParameterChangeGesture, kAudioUnitEvent_ParameterValueChange,
                         kAudioUnitEvent_ParameterValueChange, kAudioUnitEvent_ParameterValueChange,
                         kAudioUnitEvent_ParameterValueChange, kAudioUnitEvent_EndParameterChangeGesture}));
    ASSERT_EQ(heard.events().size(), 6u);
    for (int step = 1; step <= 4; ++step)
        EXPECT_NEAR(heard.events()[static_cast<size_t>(step)].value, 30.0f + step * 5.0f, 0.01f) << "step " << step;
    EXPECT_EQ(heard.events()[4].value, unit.parameter(velmora::kSize));
}
}  // namespace
