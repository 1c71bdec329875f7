#pragma once
// The root view: lives inside the host's window through a platform frame,
// routes mouse and keys to its children, and redraws what changed on idle.
// UI thread only.

#include <memory>

#include "gui/editor_interface.h"
#include "gui/platform_frame.h"
#include "gui/view_container.h"

namespace gui
{
class Frame : public ViewContainer
{
public:
    // With a parent window handle (an X11 window id) the frame opens a child
    // window in it; without one, or without a display, it has no platform
    // frame but still holds and draws its views. Views, events and
    // invalidation are in panel units; the platform frame shows `scale`
    // pixels per unit, so its window is `size` times `scale`.
    Frame(const Rect& size, void* parentWindow, EditorInterface* editor, double scale = 1.0);
    ~Frame() override;

    // Replaces the platform frame, e.g. with an offscreen one.
    void setPlatformFrame(std::unique_ptr<PlatformFrame> platform);
    PlatformFrame* getPlatformFrame() const { return platformFrame.get(); }
    EditorInterface* getEditor() const { return editor; }
    double getScale() const { return scale; }
    // The frame's size in pixels at its scale.
    int getPixelWidth() const;
    int getPixelHeight() const;

    bool setModalView(View* view);
    View* getModalView() const { return modalView; }
    void setFocusView(View* view);

    void idle();
    void invalidRect(const Rect& rect);
    // Draws when the area has a positive size.
    void drawRect(DrawContext& context, const Rect& updateRect) override;
    DrawContext* createDrawContext();

    void beginEdit(std::int32_t tag);
    void endEdit(std::int32_t tag);
    std::int32_t getKnobMode() const;
    void doIdleStuff();

    MouseResult onMouseDown(Point where, ButtonState buttons) override;
    MouseResult onMouseUp(Point where, ButtonState buttons) override;
    MouseResult onMouseMoved(Point where, ButtonState buttons) override;
    void onMouseCancel() override;
    // The pointer came into or left the frame's window.
    void onMouseEntered(Point where, ButtonState buttons) override;
    void onMouseExited(Point where, ButtonState buttons) override;
    bool onWheel(Point where, float distance, ButtonState buttons) override;
    std::int32_t onKeyDown(const KeyEvent& key) override;
    std::int32_t onKeyUp(const KeyEvent& key) override;

    Point getCurrentMouseLocation() const;
    ButtonState getCurrentMouseButtons() const;

private:
    void trackMouseOver(Point where, ButtonState buttons);

    EditorInterface* editor;
    double scale;
    std::unique_ptr<PlatformFrame> platformFrame;
    View* modalView = nullptr;
    View* focusView = nullptr;
    View* mouseOverView = nullptr;
    bool modalTracking = false;  // the modal view took the last mouse-down
    Point lastMouseLocation;
    ButtonState lastButtons = 0;
};
}  // namespace gui
