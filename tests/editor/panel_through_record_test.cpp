// The panel driven through the effect's record, as a host drives it, with the
// controls inspected in the open frame and the host calls recorded.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>
#include <thread>
#include <vector>

#include "editor/toolkit_editor.h"
#include "effect/velmora_identity.h"
#include "gui/bitmap.h"
#include "gui/control.h"
#include "gui/frame.h"
#include "gui/ref_object.h"
#include "vst/plugin_effect.h"

namespace
{
struct Call
{
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
};
std::vector<Call> gCalls;
bool gHostCanSizeWindow = false;

VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (opcode == audioMasterCanDo)
        return gHostCanSizeWindow && ptr && std::string_view(static_cast<const char*>(ptr)) == "sizeWindow";
    if (opcode != audioMasterIdle)
        gCalls.push_back({opcode, index, value, opt});
    return opcode == audioMasterVersion ? 2400 : 0;
}

class PanelThroughRecord : public ::testing::Test
{
protected:
    PanelThroughRecord()
    {
        const char* bundlePath = std::getenv("VELMORA_BUNDLE");
        if (bundlePath)
        {
            CFURLRef url = CFURLCreateFromFileSystemRepresentation(
                nullptr, reinterpret_cast<const UInt8*>(bundlePath), static_cast<CFIndex>(strlen(bundlePath)), true);
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

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr)
    {
        return record->dispatcher(record, opcode, index, value, ptr, 0.0f);
    }
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
    gui::Point centreOf(VstInt32 tag) const
    {
        const gui::Rect& rect = control(tag)->getViewSize();
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    AEffect* record;
};

TEST_F(PanelThroughRecord, EditorIsAttachedAndControlsShowEffectValuesOnEveryOpen)
{
    EXPECT_EQ(record->flags, effFlagsHasEditor | effFlagsCanReplacing);
    record->setParameter(record, velmora::kSize, 0.2f);
    ASSERT_EQ(dispatch(effEditOpen), 1);
    EXPECT_FLOAT_EQ(control(velmora::kSize)->getValue(), 0.2f);

    record->setParameter(record, velmora::kDryWet, 0.65f);
    EXPECT_FLOAT_EQ(control(velmora::kDryWet)->getValue(), 0.65f) << "a host change moves the open control";
    record->setParameter(record, velmora::kOnOff, 0.3f);
    EXPECT_FLOAT_EQ(control(velmora::kOnOff)->getValue(), 1.0f) << "any non-zero on/off shows as on";
    record->setParameter(record, 3, 0.5f);  // no such parameter: nothing breaks

    dispatch(effEditClose);
    record->setParameter(record, velmora::kSize, 0.9f);
    record->setParameter(record, velmora::kOnOff, 0.0f);
    ASSERT_EQ(dispatch(effEditOpen), 1);
    EXPECT_FLOAT_EQ(control(velmora::kSize)->getValue(), 0.9f) << "changed while closed, shown on reopening";
    EXPECT_FLOAT_EQ(control(velmora::kOnOff)->getValue(), 0.0f);
    EXPECT_FLOAT_EQ(control(velmora::kDryWet)->getValue(), 0.65f);
    dispatch(effEditClose);
}

TEST_F(PanelThroughRecord, AutomationFromAnotherThreadReachesControlOnlyAtTheTimer)
{
    // Writing the control from the audio thread raced with close() freeing it.
    dispatch(effEditOpen);
    record->setParameter(record, velmora::kSize, 0.2f);
    std::thread audio([this] {
        record->setParameter(record, velmora::kSize, 0.8f);
        record->setParameter(record, velmora::kOnOff, 0.0f);
    });
    audio.join();
    EXPECT_FLOAT_EQ(record->getParameter(record, velmora::kSize), 0.8f) << "the effect has the value at once";
    EXPECT_FLOAT_EQ(control(velmora::kSize)->getValue(), 0.2f) << "the control waits for the UI thread";

    auto* panel = dynamic_cast<gui::RefObject*>(editor());
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->notify(nullptr, gui::kMsgTimer), 1);
    EXPECT_FLOAT_EQ(control(velmora::kSize)->getValue(), 0.8f);
    EXPECT_FLOAT_EQ(control(velmora::kOnOff)->getValue(), 0.0f);
    EXPECT_EQ(panel->notify(nullptr, "another message"), 0);

    std::thread([this] { record->setParameter(record, velmora::kSize, 0.1f); }).join();
    record->setParameter(record, velmora::kSize, 0.4f);
    panel->notify(nullptr, gui::kMsgTimer);
    EXPECT_FLOAT_EQ(control(velmora::kSize)->getValue(), 0.4f)
        << "an older value waiting from the audio thread must not replace the newer one the effect holds";

    std::thread lateAudio([this] { record->setParameter(record, velmora::kDryWet, 0.9f); });
    dispatch(effEditClose);
    lateAudio.join();
    EXPECT_EQ(panel->notify(nullptr, gui::kMsgTimer), 1) << "a closed panel's timer does nothing harmful";
    dispatch(effEditOpen);
    EXPECT_FLOAT_EQ(control(velmora::kDryWet)->getValue(), 0.9f) << "reopened from the effect's values";
    dispatch(effEditClose);
}

TEST_F(PanelThroughRecord, KnobDragReachesHostAsAutomationInsideEditGesture)
{
    if (!gui::gBundleRef)
        GTEST_SKIP() << "VELMORA_BUNDLE is not set";
    record->setParameter(record, velmora::kSize, 0.3f);
    dispatch(effEditOpen);
    gui::Frame* frame = editor()->getFrame();
    const gui::Point start = centreOf(velmora::kSize);
    frame->onMouseDown(start, gui::kLButton);
    frame->onMouseMoved({start.x + 20, start.y}, gui::kLButton);
    frame->onMouseMoved({start.x + 40, start.y}, gui::kLButton);
    frame->onMouseUp({start.x + 40, start.y}, gui::kLButton);
    EXPECT_NEAR(record->getParameter(record, velmora::kSize), 0.5f, 1e-5) << "40 pixels at 1/200 from 0.3";

    ASSERT_EQ(gCalls.size(), 4u);
    EXPECT_EQ(gCalls.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(gCalls[1].opcode, audioMasterAutomate);
    EXPECT_NEAR(gCalls[1].opt, 0.4f, 1e-5);
    EXPECT_EQ(gCalls[2].opcode, audioMasterAutomate);
    EXPECT_EQ(gCalls.back().opcode, audioMasterEndEdit);
    for (const Call& call : gCalls)
        EXPECT_EQ(call.index, velmora::kSize);

    gCalls.clear();
    frame->onMouseDown(centreOf(5), gui::kLButton);  // the splash area
    EXPECT_NE(frame->getModalView(), nullptr);
    frame->onMouseDown(start, gui::kLButton);
    EXPECT_EQ(frame->getModalView(), nullptr);
    EXPECT_TRUE(gCalls.empty()) << "showing and hiding the splash changes no parameter";
    dispatch(effEditClose);
}

TEST_F(PanelThroughRecord, KeysAndWheelReachTheKnobLastClicked)
{
    if (!gui::gBundleRef)
        GTEST_SKIP() << "VELMORA_BUNDLE is not set";
    record->setParameter(record, velmora::kDryWet, 0.5f);
    dispatch(effEditOpen);
    gui::Frame* frame = editor()->getFrame();
    const gui::Point knob = centreOf(velmora::kDryWet);
    frame->onMouseDown(knob, gui::kLButton);
    frame->onMouseUp(knob, gui::kLButton);
    gCalls.clear();

    EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_UP), 1);
    EXPECT_NEAR(record->getParameter(record, velmora::kDryWet), 0.6f, 1e-5) << "up arrow adds a tenth";
    EXPECT_TRUE(editor()->onWheel(-1.0f));
    EXPECT_NEAR(record->getParameter(record, velmora::kDryWet), 0.5f, 1e-5) << "wheel down under the pointer";
    ASSERT_EQ(gCalls.size(), 6u) << "each step is one gesture: begin, automate, end";
    EXPECT_EQ(gCalls[1].opcode, audioMasterAutomate);
    EXPECT_EQ(gCalls[4].opcode, audioMasterAutomate);
    EXPECT_EQ(dispatch(effEditKeyDown, 'a', 0), 0) << "keys a knob does not use are left to the host";
    dispatch(effEditClose);
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

TEST_F(PanelThroughRecord, SharedBundleOutlivesEarlierEditorsAndIsReleasedAfterTheLast)
{
    if (!gui::gBundleRef)
        GTEST_SKIP() << "VELMORA_BUNDLE is not set";
    const CFBundleRef shared = gui::gBundleRef;
    AEffect* other = createEffectInstance(recordingHost)->getAeffect();
    other->dispatcher(other, effClose, 0, 0, nullptr, 0.0f);
    ASSERT_EQ(gui::gBundleRef, shared) << "one editor is still alive";
    CFURLRef background = CFBundleCopyResourceURL(gui::gBundleRef, CFSTR("bmp00128"), CFSTR("png"), nullptr);
    EXPECT_NE(background, nullptr) << "the shared bundle still finds the panel images";
    if (background)
        CFRelease(background);

    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    record = nullptr;
    EXPECT_EQ(gui::gBundleRef, nullptr) << "released with the last editor";
}

TEST_F(PanelThroughRecord, ResizeAsksHostOnlyWhenItCanAndAlwaysGoesOn)
{
    const gui::Rect oldSize{0, 0, 180, 160};
    const gui::Rect newSize{10, 20, 310, 220};
    gHostCanSizeWindow = false;
    EXPECT_TRUE(editor()->beforeSizeChange(newSize, oldSize));
    EXPECT_TRUE(gCalls.empty()) << "a host that cannot resize is not asked";

    gHostCanSizeWindow = true;
    EXPECT_TRUE(editor()->beforeSizeChange(newSize, oldSize));
    gHostCanSizeWindow = false;
    ASSERT_EQ(gCalls.size(), 1u);
    EXPECT_EQ(gCalls[0].opcode, audioMasterSizeWindow);
    EXPECT_EQ(gCalls[0].index, 300) << "width";
    EXPECT_EQ(gCalls[0].value, 200) << "height";
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
