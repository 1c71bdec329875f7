// Reference counting and autorelease pools of the Cocoa stand-in.
#include <AudioUnit/AUCocoaUIView.h>
#include <Foundation/Foundation.h>

#include <cstdio>

namespace
{
thread_local NSAutoreleasePool* tInnermostPool = nullptr;
}

NSObject::~NSObject() = default;

NSObject* NSObject::retain()
{
    ++references;
    return this;
}

void NSObject::release()
{
    if (--references == 0)
        dealloc();
}

NSObject* NSObject::autorelease()
{
    NSAutoreleasePool::addObject(this);
    return this;
}

void NSObject::dealloc() { delete this; }

NSAutoreleasePool::NSAutoreleasePool() : outer(tInnermostPool) { tInnermostPool = this; }

NSAutoreleasePool::~NSAutoreleasePool()
{
    // Releasing may autorelease more into this pool.
    while (!objects.empty())
    {
        NSObject* object = objects.back();
        objects.pop_back();
        object->release();
    }
    tInnermostPool = outer;
}

void NSAutoreleasePool::addObject(NSObject* object)
{
    if (tInnermostPool == nullptr)
    {
        std::fprintf(stderr, "NSObject %p autoreleased with no pool in place: it is never released\n",
                     static_cast<void*>(object));
        return;
    }
    tInnermostPool->objects.push_back(object);
}

AUCocoaUIBase::~AUCocoaUIBase() = default;
