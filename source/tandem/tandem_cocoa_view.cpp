// The view and its factory, and their registration by name.

#include "tandem/tandem_cocoa_view.h"

#include "tandem/tandem_component.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"

#include <exception>
#include <new>

const NSClassRecord comQuarnTandem_CocoaView::classRecord = {
    "comQuarnTandem_CocoaView",
    // A plain init, as NSView's: a view of no size that belongs to no component.
    []() -> NSObject* { return new (std::nothrow) comQuarnTandem_CocoaView(NSRect{}, nullptr); }};

const NSClassRecord comQuarnTandem_CocoaViewFactory::classRecord = {
    "comQuarnTandem_CocoaViewFactory",
    []() -> NSObject* { return new (std::nothrow) comQuarnTandem_CocoaViewFactory; }};

namespace
{
struct ClassRegistration
{
    ClassRegistration()
    {
        NSRegisterClass(&comQuarnTandem_CocoaViewFactory::classRecord);
        NSRegisterClass(&comQuarnTandem_CocoaView::classRecord);
    }
    ~ClassRegistration()
    {
        NSUnregisterClass(&comQuarnTandem_CocoaView::classRecord);
        NSUnregisterClass(&comQuarnTandem_CocoaViewFactory::classRecord);
    }
};
const ClassRegistration gClassRegistration;
}  // namespace

comQuarnTandem_CocoaView::comQuarnTandem_CocoaView(NSRect frame, TandemComponent* tandemComponent)
    : NSView(frame), tandem(tandemComponent)
{}

void comQuarnTandem_CocoaView::dealloc()
{
    if (tandem != nullptr)
    {
        tandem->dropView();
    }
    NSView::dealloc();
}

unsigned comQuarnTandem_CocoaViewFactory::interfaceVersion() { return 0; }

CFStringRef comQuarnTandem_CocoaViewFactory::description() { return CFSTR("Editor"); }

// Called by hosts: nothing is thrown back at them.
NSView* comQuarnTandem_CocoaViewFactory::uiViewForAudioUnit(AudioUnit inAudioUnit, NSSize)
{
    auto* tandemComponent = reinterpret_cast<TandemComponent*>(GetComponentInstanceStorage(inAudioUnit));
    if (tandemComponent == nullptr)
    {
        tandemTrace("Cocoa view asked for a unit that is not open\n");
        return nullptr;
    }
    try
    {
        return tandemComponent->createView();
    }
    catch (const std::exception& failure)
    {
        tandemTrace("Could not create Cocoa view: %s\n", failure.what());
    }
    catch (...)
    {
        tandemTrace("Could not create Cocoa view\n");
    }
    return nullptr;
}

AudioUnitCocoaViewInfo copyCocoaViewInfo()
{
    AudioUnitCocoaViewInfo info{};
    info.mCocoaAUViewBundleLocation = NSBundleCopyURLForClass(&comQuarnTandem_CocoaViewFactory::classRecord);
    if (info.mCocoaAUViewBundleLocation == nullptr)
    {
        throw TandemException("Could not locate the bundle of the view factory");
    }
    info.mCocoaAUViewClass[0] = CFStringCreateWithCString(
        kCFAllocatorDefault, comQuarnTandem_CocoaViewFactory::classRecord.name, kCFStringEncodingUTF8);
    return info;
}
