#include "gui/editor_interface.h"

#include "gui/frame.h"

namespace gui
{
EditorInterface::~EditorInterface() = default;
}  // namespace gui
