// The protocol of an Audio Unit's Cocoa view factory, as a C++ interface. A
// host reads kAudioUnitProperty_CocoaUI, finds the named class in the named
// bundle (NSBundleClassNamed), makes an instance, checks that it implements
// this interface (dynamic_cast), asks it for a view and releases it.
#pragma once

#include <AppKit/AppKit.h>
#include <AudioUnit/AudioUnit.h>

class NS_EXPORT AUCocoaUIBase
{
public:
    virtual unsigned interfaceVersion() = 0;
    // Not retained for the caller.
    virtual CFStringRef description() = 0;
    // An autoreleased view showing the unit's editor; NULL when none can be
    // made.
    virtual NSView* uiViewForAudioUnit(AudioUnit inAudioUnit, NSSize inPreferredSize) = 0;

protected:
    virtual ~AUCocoaUIBase();
};
