#pragma once
// The Cocoa classes of the Audio Unit's view. A host finds the factory by the
// name kAudioUnitProperty_CocoaUI gives, in the bundle it names; the factory
// asks the unit's TandemComponent for a view, which holds the effect's own
// editor. Both classes are registered by name when the module loads.
//
// Threads: the host's main thread only.

#include <AudioUnit/AUCocoaUIView.h>

class TandemComponent;

class __attribute__((visibility("default"))) comQuarnTandem_CocoaView : public NSView
{
public:
    static const NSClassRecord classRecord;

    // initWithFrame:tandem:; the component is not owned.
    comQuarnTandem_CocoaView(NSRect frame, TandemComponent* tandemComponent);
    // The component is going away: the view never calls it again.
    void detach() { tandem = nullptr; }

protected:
    // Tells the component, while attached, that its view is gone.
    void dealloc() override;

private:
    TandemComponent* tandem;
};

class __attribute__((visibility("default"))) comQuarnTandem_CocoaViewFactory : public NSObject, public AUCocoaUIBase
{
public:
    static const NSClassRecord classRecord;

    unsigned interfaceVersion() override;
    CFStringRef description() override;
    // The preferred size is ignored: the view takes the editor's size.
    NSView* uiViewForAudioUnit(AudioUnit inAudioUnit, NSSize inPreferredSize) override;
};

// kAudioUnitProperty_CocoaUI: the bundle that holds the factory class and the
// class's name, both for the caller to release.
AudioUnitCocoaViewInfo copyCocoaViewInfo();
