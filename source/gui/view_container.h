#pragma once
// A view holding child views in z-order: the first child added lies at the
// bottom and is drawn first. The container owns one reference to each child.

#include <vector>

#include "gui/bitmap.h"
#include "gui/color.h"
#include "gui/view.h"

namespace gui
{
class ViewContainer : public View
{
public:
    explicit ViewContainer(const Rect& size);
    ~ViewContainer() override;

    // Takes over the caller's reference.
    bool addView(View* view);
    // Takes a reference of its own beside the handle's.
    bool addView(const Ref<View>& view);
    bool removeView(View* view, bool withRelease = true);
    void removeAll(bool withRelease = true);
    bool isChild(const View* view) const;
    const std::vector<View*>& getChildren() const { return children; }

    void setBackground(Bitmap* bitmap);
    void setBackgroundColor(Color color)
    {
        backgroundColor = color;
        invalid();
    }

    void draw(DrawContext& context) override;
    // `updateRect` is in this container's own coordinates.
    virtual void drawRect(DrawContext& context, const Rect& updateRect);

    MouseResult onMouseDown(Point where, ButtonState buttons) override;
    MouseResult onMouseUp(Point where, ButtonState buttons) override;
    MouseResult onMouseMoved(Point where, ButtonState buttons) override;
    // Cuts short the gesture of the child that took the last mouse-down.
    void onMouseCancel() override;
    bool onWheel(Point where, float distance, ButtonState buttons) override;

    // The top-most child that takes the mouse at `where` (own coordinates).
    View* getViewAt(Point where, ButtonState buttons) const;
    // Invalidates every shown, dirty descendant.
    void invalidateDirtyViews();

    bool isDirty() const override;
    void attached(ViewContainer* newParent) override;
    void removed() override;

protected:
    Point toLocal(Point where) const { return {where.x - size.left, where.y - size.top}; }

    std::vector<View*> children;

private:
    Color backgroundColor = kBlackColor;
    Bitmap* background = nullptr;
    View* mouseDownView = nullptr;
};
}  // namespace gui
