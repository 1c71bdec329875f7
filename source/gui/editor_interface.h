#pragma once
// What the toolkit needs of the editor that hosts its frame. UI thread only.

#include <cstdint>

#include "gui/geometry.h"
#include "gui/ref_object.h"

namespace gui
{
class Frame;

class EditorInterface
{
public:
    EditorInterface() = default;
    EditorInterface(const EditorInterface&) = delete;
    EditorInterface& operator=(const EditorInterface&) = delete;
    // Out of line, where the frame is a whole type its handle can release.
    virtual ~EditorInterface();

    // Gives the host idle time while a control tracks the mouse.
    virtual void doIdleStuff() {}
    virtual std::int32_t getKnobMode() const { return 0; }
    virtual void beginEdit(std::int32_t index) { (void)index; }
    virtual void endEdit(std::int32_t index) { (void)index; }
    virtual bool beforeSizeChange(const Rect& newSize, const Rect& oldSize)
    {
        (void)newSize;
        (void)oldSize;
        return true;
    }
    Frame* getFrame() const { return frame.get(); }

protected:
    Ref<Frame> frame;  // empty while the editor is closed
};
}  // namespace gui
