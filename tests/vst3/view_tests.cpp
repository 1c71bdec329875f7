// The VST3 editor view in a real X server, as a Linux host shows it: embedded
// in the host's window, driven by the host's run loop, drawn at the host's
// content scale as the panel is drawn, its drags reaching the host as edits
// and the values the host sets shown.
#include "panel_picture.h"
#include "vst3_test_support.h"
#include "vst3host/plug_frame.h"
#include "x11_server_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace
{
using namespace vst3test;
using vst3host::Edit;

class Vst3View : public editortest::X11ServerTest, public ::testing::WithParamInterface<double>
{
protected:
    void setUpWithServer() override
    {
        ASSERT_TRUE(effect.loaded());
        view = effect.instance().createView();
        ASSERT_TRUE(view);
        view->setFrame(frame.get());
    }
    void tearDownWithServer() override
    {
        if (view)
        {
            view->removed();
            view->setFrame(nullptr);
            EXPECT_EQ(view.reset(), 0u) << "the view outlives the host's last reference";
        }
    }
    void idle() override { frame->runLoop().runOnce(std::chrono::milliseconds(0)); }

    vst3::IEditController& controller() const { return effect.instance().controller(); }
    void setContentScale(float factor)
    {
        vst3::IPlugViewContentScaleSupport* scaling = nullptr;
        ASSERT_EQ(
            view->queryInterface(vst3::IPlugViewContentScaleSupport::iid.data(), reinterpret_cast<void**>(&scaling)),
            vst3::kResultOk);
        EXPECT_EQ(scaling->setContentScaleFactor(factor), vst3::kResultOk);
        scaling->release();
    }
    std::pair<int, int> viewSize() const
    {
        vst3::ViewRect size{};
        EXPECT_EQ(view->getSize(&size), vst3::kResultOk);
        return {size.width(), size.height()};
    }
    void attach(std::pair<int, int> size)
    {
        parent = hostWindow(size.first, size.second);
        ASSERT_EQ(view->attached(reinterpret_cast<void*>(parent), vst3::kPlatformTypeX11EmbedWindowID),
                  vst3::kResultOk);
        pump();
    }
    editortest::WindowGrab grab(std::pair<int, int> size)
    {
        pointerTo(size.first / scale + 50, size.second / scale + 50);
        pump(10);
        return editortest::WindowGrab(XGetImage(display, parent, 0, 0, static_cast<unsigned>(size.first),
                                                static_cast<unsigned>(size.second), AllPlanes, ZPixmap));
    }

    LoadedVst3 effect;
    vst3host::Ref<vst3host::PlugFrame> frame = vst3host::makeHostObject<vst3host::PlugFrame>(
        vst3host::makeHostObject<vst3host::RunLoop>());
    vst3host::Ref<vst3::IPlugView> view;
};

INSTANTIATE_TEST_SUITE_P(ContentScales, Vst3View, ::testing::Values(1.0, 1.5, 2.0),
                         [](const ::testing::TestParamInfo<double>& info) {
                             return "x" + std::to_string(static_cast<int>(info.param * 10));
                         });

TEST_P(Vst3View, OpensAtTheHostsScaleOnItsRunLoopDrawsTheValuesAndSendsDragsAsEdits)
{
    scale = GetParam();
    EXPECT_EQ(view->isPlatformTypeSupported(vst3::kPlatformTypeX11EmbedWindowID), vst3::kResultTrue);
    controller().setParamNormalized(kSizeId, 0.3);
    setContentScale(static_cast<float>(scale));
    const std::pair<int, int> size = viewSize();
    EXPECT_EQ(size, std::pair(onScreen(180), onScreen(160)));
    attach(size);
    EXPECT_EQ(frame->runLoop().descriptors().size(), 1u) << "the panel's X connection";
    EXPECT_EQ(frame->runLoop().timerCount(), 1u);
    EXPECT_EQ(pluginWindowSize(parent), size);
    panelshot::PanelValues values{.onOff = 1.0f, .size = 0.3f, .dryWet = 0.5f, .scale = scale};
    EXPECT_EQ(editortest::differenceFromRender(grab(size).get(), values).mean, 0.0) << "drawn as the panel is";

    effect.instance().handler().clear();
    drag(126, 46, 166);  // 40 panel units right from the middle of the Size knob
    const std::vector<Edit> edits = effect.instance().handler().edits();
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(edits.front(), (Edit{Edit::Kind::begin, kSizeId, 0.0}));
    EXPECT_EQ(edits.back(), (Edit{Edit::Kind::end, kSizeId, 0.0}));
    EXPECT_TRUE(std::all_of(edits.begin() + 1, edits.end() - 1,
                            [](const Edit& edit) { return edit.kind == Edit::Kind::perform && edit.id == kSizeId; }));
    EXPECT_NEAR(edits[edits.size() - 2].value, 0.5, 1e-4) << "40 panel units at 1/200 per unit from 0.3";
    EXPECT_NEAR(controller().getParamNormalized(kSizeId), 0.5, 1e-4);

    controller().setParamNormalized(kDryWetId, 0.9);
    values.size = static_cast<float>(controller().getParamNormalized(kSizeId));
    values.dryWet = 0.9f;
    EXPECT_EQ(editortest::differenceFromRender(grab(size).get(), values).mean, 0.0) << "the host's value is shown";

    view->removed();
    EXPECT_TRUE(frame->runLoop().descriptors().empty());
    EXPECT_EQ(frame->runLoop().timerCount(), 0u);
}

// A host that changes its scale while the editor is open: the panel opens
// again at it and asks the host for its new size.
TEST_F(Vst3View, AScaleChangeWhileOpenReopensThePanelAndAsksTheHostToResize)
{
    attach(viewSize());
    EXPECT_EQ(pluginWindowSize(parent), std::pair(180, 160)) << "the desktop's scale, 1 here";
    setContentScale(2.0f);
    pump();
    ASSERT_EQ(frame->resizes().size(), 1u);
    EXPECT_EQ(frame->resizes().front().width(), 360);
    EXPECT_EQ(frame->resizes().front().height(), 320);
    EXPECT_EQ(viewSize(), std::pair(360, 320));
    EXPECT_EQ(pluginWindowSize(parent), std::pair(360, 320)) << "one window, at the new size";
}
}  // namespace
