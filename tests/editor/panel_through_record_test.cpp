// The panel driven through the effect's record, as a host drives it, with the
// controls inspected in the open frame and the host calls recorded.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "editor/toolkit_editor.h"
#include "effect/velmora_identity.h"
#include "effect/velmora_parameters.h"
#include "gui/bitmap.h"
#include "gui/control.h"
#include "gui/frame.h"
#include "gui/ref_object.h"
#include "vst/plugin_effect.h"

namespace
{
std::vector<VstInt32> gCalls;  // opcodes of the host calls, idling left out
int gIdleCount = 0;

VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    if (opcode == audioMasterIdle)
        ++gIdleCount;
    else if (opcode != audioMasterCanDo)
        gCalls.push_back(opcode);
    return opcode == audioMasterVersion ? 2400 : 0;
}

class PanelThroughRecord : public ::testing::Test
{
protected:
    PanelThroughRecord()
    {
        if (const char* bundlePath = std::getenv("VELMORA_BUNDLE"))
        {
            CFURLRef url = CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8*>(bundlePath),
                                                                   static_cast<CFIndex>(strlen(bundlePath)), true);
            gui::gBundleRef = CFBundleCreate(nullptr, url);  // adopted by the editor
            CFRelease(url);
        }
        record = createEffectInstance(recordingHost)->getAeffect();
        gCalls.clear();
    }
    ~PanelThroughRecord() override
    {
        if (record)
            record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f)
    {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }
    void set(VstInt32 index, float value) { record->setParameter(record, index, value); }
    ToolkitEditor* editor() const
    {
        return dynamic_cast<ToolkitEditor*>(static_cast<PluginEffect*>(record->object)->getEditor());
    }
    gui::Control* control(VstInt32 tag) const
    {
        for (gui::View* view : editor()->getFrame()->getChildren())
            if (auto* found = dynamic_cast<gui::Control*>(view); found && found->getTag() == tag)
                return found;
        return nullptr;
    }
    float shown(VstInt32 tag) const { return control(tag) ? control(tag)->getValue() : -1.0f; }

    AEffect* record;
};

TEST_F(PanelThroughRecord, ControlsShowEffectValuesWhenOpenedAndWhileOpen)
{
    EXPECT_EQ(record->flags, effFlagsHasEditor | effFlagsCanReplacing);
    set(velmora::kSize, 0.2f);
    ASSERT_EQ(dispatch(effEditOpen), 1);
    EXPECT_FLOAT_EQ(shown(velmora::kSize), 0.2f);
    for (VstInt32 knob : {velmora::kSize, velmora::kDryWet})
        EXPECT_EQ(control(knob)->getDefaultValue(), velmora::kParameters[static_cast<std::size_t>(knob)].defaultValue)
            << "a Control-click puts the knob back to its parameter's default";
    set(velmora::kOnOff, 0.3f);
    EXPECT_FLOAT_EQ(shown(velmora::kOnOff), 1.0f) << "a host change moves the open control; non-zero shows as on";
    set(3, 0.5f);  // no such parameter: nothing breaks
    dispatch(effEditClose);
}

TEST_F(PanelThroughRecord, AutomationFromAnotherThreadReachesControlOnlyAtTheTimer)
{
    // Writing the control from the audio thread raced with close() freeing it.
    dispatch(effEditOpen);
    set(velmora::kSize, 0.2f);
    std::thread([this] {
        set(velmora::kSize, 0.8f);
        set(velmora::kOnOff, 0.0f);
    }).join();
    EXPECT_FLOAT_EQ(record->getParameter(record, velmora::kSize), 0.8f) << "the effect has the value at once";
    EXPECT_FLOAT_EQ(shown(velmora::kSize), 0.2f) << "the control waits for the UI thread";

    auto* panel = dynamic_cast<gui::RefObject*>(editor());
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->notify(nullptr, gui::kMsgTimer), 1);
    EXPECT_FLOAT_EQ(shown(velmora::kSize), 0.8f);
    EXPECT_FLOAT_EQ(shown(velmora::kOnOff), 0.0f);

    std::thread([this] { set(velmora::kSize, 0.1f); }).join();
    set(velmora::kSize, 0.4f);
    panel->notify(nullptr, gui::kMsgTimer);
    EXPECT_FLOAT_EQ(shown(velmora::kSize), 0.4f)
        << "an older value waiting from the audio thread must not replace the newer one the effect holds";

    std::thread lateAudio([this] { set(velmora::kDryWet, 0.9f); });
    dispatch(effEditClose);
    lateAudio.join();
    EXPECT_EQ(panel->notify(nullptr, gui::kMsgTimer), 1) << "a closed panel's timer does nothing harmful";
    dispatch(effEditOpen);
    EXPECT_FLOAT_EQ(shown(velmora::kDryWet), 0.9f) << "reopened from the effect's values";
    dispatch(effEditClose);
}

TEST_F(PanelThroughRecord, KeysAndWheelReachTheKnobLastClickedOneGestureEach)
{
    if (!gui::gBundleRef)
        GTEST_SKIP() << "VELMORA_BUNDLE is not set";
    set(velmora::kDryWet, 0.5f);
    dispatch(effEditOpen);
    gui::Frame* frame = editor()->getFrame();
    const gui::Rect& area = control(velmora::kDryWet)->getViewSize();
    const gui::Point centre{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    frame->onMouseDown(centre, gui::kLButton);
    frame->onMouseUp(centre, gui::kLButton);
    gCalls.clear();

    EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_UP), 1);
    EXPECT_NEAR(record->getParameter(record, velmora::kDryWet), 0.6f, 1e-5) << "up arrow adds a tenth";
    EXPECT_EQ(dispatch(effEditKeyUp, 0, VKEY_UP), 0) << "knobs act on key down only";
    EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_DOWN, nullptr, MODIFIER_SHIFT), 1);
    EXPECT_NEAR(record->getParameter(record, velmora::kDryWet), 0.59f, 1e-5) << "shift makes the step a hundredth";
    EXPECT_TRUE(editor()->onWheel(-1.0f));
    EXPECT_NEAR(record->getParameter(record, velmora::kDryWet), 0.49f, 1e-5) << "wheel down under the pointer";
    ASSERT_EQ(gCalls.size(), 9u) << "each step is one gesture: begin, automate, end";
    EXPECT_EQ(gCalls[1], audioMasterAutomate);
    EXPECT_EQ(gCalls[7], audioMasterAutomate);
    EXPECT_EQ(dispatch(effEditKeyDown, 'a', 0), 0) << "keys a knob does not use are left to the host";
    dispatch(effEditClose);
}

TEST_F(PanelThroughRecord, DragIdlesTheHostAtMostOncePerFiftyMilliseconds)
{
    if (!gui::gBundleRef)
        GTEST_SKIP() << "VELMORA_BUNDLE is not set";
    using namespace std::chrono_literals;
    dispatch(effEditOpen);
    gui::Frame* frame = editor()->getFrame();
    const gui::Rect& area = control(velmora::kSize)->getViewSize();
    gui::Point where{area.left + 1, (area.top + area.bottom) / 2};
    frame->onMouseDown(where, gui::kLButton);
    gIdleCount = 0;
    const std::uint32_t start = ToolkitEditor::getTicks();
    for (const auto end = std::chrono::steady_clock::now() + 800ms; std::chrono::steady_clock::now() < end;)
    {
        where.x += 1;
        frame->onMouseMoved(where, gui::kLButton);  // as motion every 5 ms arrives
        std::this_thread::sleep_for(5ms);
    }
    const std::uint32_t elapsed = ToolkitEditor::getTicks() - start;
    frame->onMouseUp(where, gui::kLButton);
    dispatch(effEditClose);

    EXPECT_GE(gIdleCount, 3) << "the host goes on idling during the drag";
    // A deadline 100 ms past one reading of the clock, reached 54 ms early
    // after the 4 ms pause: 50 ms of the clock between idles, however late
    // each call comes.
    EXPECT_LE(gIdleCount, static_cast<int>(elapsed / 50 + 1)) << "in " << elapsed << " ms";
}

TEST_F(PanelThroughRecord, ClosedEditorIgnoresKeysWheelAndDrawing)
{
    VstKeyCode key{0, VKEY_UP, 0};
    EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_UP), 0);
    EXPECT_FALSE(editor()->onKeyDown(key));
    EXPECT_FALSE(editor()->onWheel(1.0f));
    ERect area{10, 10, 0, 0};
    dispatch(effEditDraw, 0, 0, &area);
    dispatch(effEditIdle);
    EXPECT_TRUE(gCalls.empty());
}

TEST(IdleDeadline, DeadlineLeftFromBeforeTickWrapDoesNotStopIdling)
{
    EXPECT_TRUE(idleDeadlinePending(1000, 1080)) << "80 ms before an ordinary deadline";
    EXPECT_FALSE(idleDeadlinePending(1100, 1080));
    // getTicks wraps at 2^32 / 60 ms; a deadline set just before it lies far above the new clock.
    const std::uint32_t lastBeforeWrap = 0xFFFFFFFFu / 60u;
    EXPECT_FALSE(idleDeadlinePending(5, lastBeforeWrap + kIdleInterval)) << "treated as passed, so the host idles";
}
}  // namespace
