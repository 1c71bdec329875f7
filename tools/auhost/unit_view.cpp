#include "auhost/unit_view.h"

#include <AudioUnit/AUCocoaUIView.h>
#include <X11/Xlib.h>

#include <stdexcept>

namespace auhost
{
namespace
{
// The factory class the property names, looked up in the bundle it names.
Class factoryClass(const AudioUnitInstance& unit)
{
    const auto info = unit.property<AudioUnitCocoaViewInfo>(kAudioUnitProperty_CocoaUI, kAudioUnitScope_Global, 0);
    CFBundleRef bundle = CFBundleCreate(kCFAllocatorDefault, info.mCocoaAUViewBundleLocation);
    Class found = bundle != nullptr ? NSBundleClassNamed(bundle, info.mCocoaAUViewClass[0]) : nullptr;
    if (bundle != nullptr)
        CFRelease(bundle);
    CFRelease(info.mCocoaAUViewBundleLocation);
    CFRelease(info.mCocoaAUViewClass[0]);
    if (found == nullptr)
        throw std::runtime_error("the bundle named by the unit's Cocoa view information holds no such class");
    return found;
}

// An autoreleased view from a new factory of that class.
NSView* createView(Class cls, AudioUnit unit)
{
    NSObject* object = cls->allocInit();
    auto* factory = dynamic_cast<AUCocoaUIBase*>(object);
    if (factory == nullptr)
    {
        if (object != nullptr)
            object->release();
        throw std::runtime_error(std::string("class ") + cls->name + " is no Cocoa view factory");
    }
    NSView* view = factory->uiViewForAudioUnit(unit, NSMakeSize(400, 300));
    object->release();
    if (view == nullptr)
        throw std::runtime_error(std::string(cls->name) + " made no view");
    return view;
}
}  // namespace

UnitView::UnitView(const AudioUnitInstance& unit)
{
    const Class cls = factoryClass(unit);
    NSAutoreleasePool pool;
    NSView* view = createView(cls, unit.unit());
    try
    {
        openWindow(view->frame().size);
    }
    catch (...)
    {
        closeWindow();
        throw;
    }
    contentView->addSubview(view);
    unitView = view;
}

UnitView::~UnitView()
{
    unitView->removeFromSuperview();
    closeWindow();
}

void UnitView::openWindow(NSSize size)
{
    hostDisplay = XOpenDisplay(nullptr);
    if (hostDisplay == nullptr)
        throw std::runtime_error("no X display to open the view on");
    hostWindow = XCreateSimpleWindow(hostDisplay, DefaultRootWindow(hostDisplay), 0, 0,
                                     static_cast<unsigned>(size.width), static_cast<unsigned>(size.height), 0, 0, 0);
    XStoreName(hostDisplay, hostWindow, "Audio Unit view");
    XMapWindow(hostDisplay, hostWindow);
    XSync(hostDisplay, False);
    contentView = NSView::viewWithX11Window(hostWindow);
    if (contentView == nullptr)
        throw std::runtime_error("the view cannot reach the host's window");
}

void UnitView::closeWindow()
{
    if (contentView != nullptr)
        contentView->release();
    if (hostWindow != 0)
        XDestroyWindow(hostDisplay, hostWindow);
    if (hostDisplay != nullptr)
        XCloseDisplay(hostDisplay);
}
}  // namespace auhost
