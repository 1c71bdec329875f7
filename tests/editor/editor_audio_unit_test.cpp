// A knob turned in the effect's editor as an Audio Unit host hears it: the
// component's Cocoa view opened through the host library at the origin of a
// private X server's screen, real pointer input through XTest, and the test's
// event loop serving the idle timer and the editor's connection as a host's would.

#include "x11_server_test.h"

#include <memory>
#include <vector>

#include "auhost/audio_unit_instance.h"
#include "auhost/component_bundle.h"
#include "auhost/event_loop.h"
#include "auhost/unit_listeners.h"
#include "auhost/unit_view.h"
#include "effect/velmora_identity.h"
#include "support/velmora_bundle.h"

namespace
{
constexpr double kLoopTurnSeconds = 0.2;
// The middle of the Size knob, and how far one drag step moves: 10 pixels at
// 1/200 of the range each, 5 in the Audio Unit range 0..100.
constexpr int kKnobX = 126;
constexpr int kKnobY = 46;
constexpr int kStepPixels = 10;
constexpr float kStepValue = 5.0f;

class EditorThroughAudioUnit : public editortest::X11ServerTest
{
protected:
    void setUpWithServer() override
    {
        auhost::registerComponentBundle(testsupport::velmoraBundlePath());
        const auto effects = auhost::findComponents({kAudioUnitType_Effect, 0, 0, 0, 0});
        ASSERT_EQ(effects.size(), 1u);
        unit = std::make_unique<auhost::AudioUnitInstance>(effects.front().component);
        heard = std::make_unique<auhost::EventCollector>();
        heard->addParameter(unit->unit(), kAUParameterListener_AnyParameter);
    }

    void tearDownWithServer() override
    {
        view.reset();
        heard.reset();
        unit.reset();
    }

    void openEditor()
    {
        view = std::make_unique<auhost::UnitView>(*unit);
        auhost::runEventLoop(kLoopTurnSeconds);
        heard->clear();
    }

    // The input has reached the editor's connection when pointerTo and button
    // return; the editor handles it when the loop runs next.
    void runLoop()
    {
        // A pause for the server's writes to the editor's connection.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        auhost::runEventLoop(kLoopTurnSeconds);
    }

    std::vector<AudioUnitEventType> types() const
    {
        std::vector<AudioUnitEventType> seen;
        for (const auhost::CollectedEvent& event : heard->events())
            seen.push_back(event.event.mEventType);
        return seen;
    }

    std::unique_ptr<auhost::AudioUnitInstance> unit;
    std::unique_ptr<auhost::EventCollector> heard;
    std::unique_ptr<auhost::UnitView> view;
};

TEST_F(EditorThroughAudioUnit, AKnobDragArrivesAsOneValueChangePerChangeForTheVstIndexInsideItsGesture)
{
    unit->setParameter(velmora::kSize, 30.0f);
    ASSERT_NO_FATAL_FAILURE(openEditor());

    // The whole drag is handled in one turn of the loop. The editor turns the
    // loop itself after each change while it tracks the mouse, so no change
    // waits in the listener's queue for the next one to merge with: each is
    // delivered with the value the unit has at that moment.
    drag(kKnobX, kKnobY, kKnobX + 4 * kStepPixels);
    runLoop();

    EXPECT_EQ(types(), (std::vector<AudioUnitEventType>{
                           kAudioUnitEvent_BeginParameterChangeGesture, kAudioUnitEvent_ParameterValueChange,
                           kAudioUnitEvent_ParameterValueChange, kAudioUnitEvent_ParameterValueChange,
                           kAudioUnitEvent_ParameterValueChange, kAudioUnitEvent_EndParameterChangeGesture}));
    for (const auhost::CollectedEvent& event : heard->events())
    {
        EXPECT_EQ(event.event.mArgument.mParameter.mAudioUnit, unit->unit());
        EXPECT_EQ(event.event.mArgument.mParameter.mParameterID, AudioUnitParameterID{velmora::kSize})
            << "the Audio Unit parameter ID is the VST index";
    }
    ASSERT_EQ(heard->events().size(), 6u);
    for (int step = 1; step <= 4; ++step)
        EXPECT_NEAR(heard->events()[static_cast<size_t>(step)].value, 30.0f + step * kStepValue, 0.01f)
            << "step " << step << ", in the Audio Unit range";
    EXPECT_EQ(heard->events()[4].value, unit->parameter(velmora::kSize));
}
}  // namespace
