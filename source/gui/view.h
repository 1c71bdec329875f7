#pragma once
// Base of everything the frame shows. UI thread only, except that a control's
// value may be stored from another thread (it is read at the next idle).

#include "gui/button_state.h"
#include "gui/geometry.h"
#include "gui/key_event.h"
#include "gui/ref_object.h"

namespace gui
{
class DrawContext;
class Frame;
class ViewContainer;

class View : public RefObject
{
public:
    explicit View(const Rect& size);

    const Rect& getViewSize() const { return size; }
    Rect toFrameCoordinates(const Rect& rect) const;

    virtual void draw(DrawContext& context);

    virtual MouseResult onMouseDown(Point where, ButtonState buttons);
    virtual MouseResult onMouseUp(Point where, ButtonState buttons);
    virtual MouseResult onMouseMoved(Point where, ButtonState buttons);
    // The gesture a handled mouse-down began ends without its mouse-up: the
    // view was removed, or another mouse-down or a modal view took the mouse.
    virtual void onMouseCancel();
    virtual void onMouseEntered(Point where, ButtonState buttons);
    virtual void onMouseExited(Point where, ButtonState buttons);
    virtual bool onWheel(Point where, float distance, ButtonState buttons);
    virtual std::int32_t onKeyDown(const KeyEvent& key);
    virtual std::int32_t onKeyUp(const KeyEvent& key);

    // `where` is in the parent's coordinates, like the view rectangle.
    virtual bool hitTest(Point where, ButtonState buttons) const;

    virtual bool isDirty() const { return dirtyFlag; }
    virtual void setDirty(bool dirty) { dirtyFlag = dirty; }
    // Asks the frame to redraw this view's rectangle.
    void invalid();

    void setVisible(bool visible);
    void setAlphaValue(float value) { alpha = value; }
    bool getMouseEnabled() const { return mouseEnabledFlag; }
    void setMouseEnabled(bool enabled) { mouseEnabledFlag = enabled; }
    bool getTransparentForMouse() const { return transparentForMouseFlag; }
    void setTransparentForMouse(bool transparent) { transparentForMouseFlag = transparent; }
    virtual bool wantsFocus() const { return false; }

    // True when the view can take part in drawing and mouse routing.
    bool isShown() const { return visibleFlag && alpha > 0.0f; }

    bool isAttached() const { return attachedFlag; }
    ViewContainer* getParentView() const { return parent; }
    Frame* getFrame() const { return frame; }
    virtual void attached(ViewContainer* newParent);
    virtual void removed();

protected:
    Rect size;
    float alpha = 1.0f;
    ViewContainer* parent = nullptr;
    Frame* frame = nullptr;

private:
    bool visibleFlag = true;
    bool attachedFlag = false;
    bool mouseEnabledFlag = true;
    bool transparentForMouseFlag = false;
    bool dirtyFlag = false;
};
}  // namespace gui
