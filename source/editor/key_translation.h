#pragma once
// Host key records into the toolkit's key events, at the editor's host boundary.

#include "gui/key_event.h"
#include "vst/aeffect.h"

// Virtual keys the toolkit does not know arrive as VirtualKey::kNone.
gui::KeyEvent keyEventFromVst(const VstKeyCode& keyCode);
