// The object model of the Cocoa stand-in, in C++: reference-counted objects,
// autorelease pools, and classes known by name once their image has loaded.
// C++ only; used on the main thread, as Cocoa's user-interface objects are.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <vector>

#define NS_EXPORT __attribute__((visibility("default")))

class NSObject;

// A class as the runtime knows it. Images define their classes as constant
// records and register them while they load.
struct NSClassRecord
{
    const char* name;
    // [[cls alloc] init]: a new instance holding one reference, or null.
    NSObject* (*allocInit)();
};
typedef const NSClassRecord* Class;

class NS_EXPORT NSObject
{
public:
    NSObject(const NSObject&) = delete;
    NSObject& operator=(const NSObject&) = delete;

    NSObject* retain();
    // The last release deallocates.
    void release();
    // Released once when the innermost autorelease pool of the thread drains.
    NSObject* autorelease();
    CFIndex retainCount() const { return references; }

protected:
    NSObject() = default;
    virtual ~NSObject();
    // Subclasses end theirs with their base class's dealloc, as in Cocoa;
    // NSObject's frees the object.
    virtual void dealloc();

private:
    CFIndex references = 1;
};

// Pools nest per thread; objects autoreleased with no pool in place are
// reported and never released.
class NS_EXPORT NSAutoreleasePool
{
public:
    NSAutoreleasePool();
    // Drains.
    ~NSAutoreleasePool();
    NSAutoreleasePool(const NSAutoreleasePool&) = delete;
    NSAutoreleasePool& operator=(const NSAutoreleasePool&) = delete;

    static void addObject(NSObject* object);

private:
    NSAutoreleasePool* outer;
    std::vector<NSObject*> objects;
};

// Registration by name, done by an image's static initialisation (and undone
// when it unloads). Several images may register classes of one name.
NS_EXPORT void NSRegisterClass(Class cls);
NS_EXPORT void NSUnregisterClass(Class cls);
// The first registered class of that name; NULL when there is none.
NS_EXPORT Class NSClassFromString(CFStringRef name);
// -[NSBundle classNamed:]: loads the bundle's executable and answers the class
// of that name that this executable defines; NULL when it defines none.
NS_EXPORT Class NSBundleClassNamed(CFBundleRef bundle, CFStringRef name);
// -[NSBundle bundleForClass:]: the file URL of the bundle folder whose
// executable defines the class (the caller releases it); NULL when the image
// is not found.
NS_EXPORT CFURLRef NSBundleCopyURLForClass(Class cls);
