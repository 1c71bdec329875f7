#pragma once
// A unit's Cocoa view, opened as a Mac host opens it: kAudioUnitProperty_CocoaUI
// names a bundle and a factory class, the class is looked up in that bundle,
// an instance of it makes the view, and the view goes into a window of the
// host's own: here a top-level X11 window on the host's own connection
// ($DISPLAY), sized to the view.

#include "auhost/audio_unit_instance.h"

#include <AppKit/AppKit.h>

// Xlib's Display, without Xlib's macros in every file that shows a view.
struct _XDisplay;

namespace auhost
{
class UnitView
{
public:
    // Throws AUHostError when the unit offers no Cocoa view, and
    // std::runtime_error when there is no display, no such class in the bundle,
    // or no view from the factory.
    explicit UnitView(const AudioUnitInstance& unit);
    // Takes the view out of the window, which drops the host's reference, and
    // closes the window.
    ~UnitView();
    UnitView(const UnitView&) = delete;
    UnitView& operator=(const UnitView&) = delete;

    NSView* view() const { return unitView; }
    _XDisplay* display() const { return hostDisplay; }
    unsigned long window() const { return hostWindow; }

private:
    void openWindow(NSSize size);
    void closeWindow();

    _XDisplay* hostDisplay = nullptr;
    unsigned long hostWindow = 0;
    NSView* contentView = nullptr;
    NSView* unitView = nullptr;  // held by contentView
};
}  // namespace auhost
