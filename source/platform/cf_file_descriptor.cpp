// CFFileDescriptor and the run-loop sources made from it.
#include "platform/cf_run_loop.h"

#include "platform/cf_string.h"

#include <algorithm>
#include <unistd.h>

using namespace velmora::cf;

namespace
{

void invalidateDescriptorLocked(FileDescriptor& descriptor, Doomed& doomed)
{
    if (!descriptor.valid)
        return;
    descriptor.valid = false;
    descriptor.enabledCallBacks = 0;
    if (descriptor.source)
        invalidateSourceLocked(*descriptor.source, doomed);
    if (descriptor.closeOnInvalidate)
        close(descriptor.fd);
}

}  // namespace

__CFFileDescriptor::__CFFileDescriptor(int descriptor, bool closeWhenInvalidated, CFFileDescriptorCallBack callback,
                                       const CFFileDescriptorContext* descriptorContext)
    : Object(kTypeID), fd(descriptor), closeOnInvalidate(closeWhenInvalidated), callout(callback),
      context(descriptorContext ? *descriptorContext : CFFileDescriptorContext{})
{
    if (context.retain && context.info)
        context.retain(context.info);
}

__CFFileDescriptor::~__CFFileDescriptor()
{
    {
        Doomed doomed;
        std::lock_guard lock(runLoopMutex());
        invalidateDescriptorLocked(*this, doomed);
    }
    if (context.release && context.info)
        context.release(context.info);
}

__CFRunLoopSource::__CFRunLoopSource(CFIndex sourceOrder, __CFFileDescriptor* watched)
    : Object(kTypeID), order(sourceOrder), descriptor(Ref<__CFFileDescriptor>::retain(watched))
{}

__CFRunLoopSource::~__CFRunLoopSource()
{
    std::lock_guard lock(runLoopMutex());
    if (descriptor->source == this)
        descriptor->source = nullptr;
}

extern "C" {

CFTypeID CFRunLoopSourceGetTypeID(void) { return static_cast<CFTypeID>(RunLoopSource::kTypeID); }
CFTypeID CFFileDescriptorGetTypeID(void) { return static_cast<CFTypeID>(FileDescriptor::kTypeID); }

void CFRunLoopAddSource(CFRunLoopRef rl, CFRunLoopSourceRef source, CFRunLoopMode mode)
{
    RunLoop* loop = cast<RunLoop>(rl);
    RunLoopSource* added = cast<RunLoopSource>(source);
    const std::string name = stringToUtf8(mode);
    if (!loop || !added || name.empty())
        return;
    std::lock_guard lock(runLoopMutex());
    if (!added->valid)
        return;
    auto found = std::find_if(loop->sources.begin(), loop->sources.end(),
                              [added](const auto& entry) { return entry.item.get() == added; });
    if (found == loop->sources.end())
    {
        loop->sources.push_back({Ref<RunLoopSource>::retain(added), {}});
        found = std::prev(loop->sources.end());
        added->loops.push_back(loop);
    }
    if (std::find(found->modes.begin(), found->modes.end(), name) == found->modes.end())
        found->modes.push_back(name);
    loop->wakeUp();
}

void CFRunLoopRemoveSource(CFRunLoopRef rl, CFRunLoopSourceRef source, CFRunLoopMode mode)
{
    RunLoop* loop = cast<RunLoop>(rl);
    RunLoopSource* removed = cast<RunLoopSource>(source);
    const std::string name = stringToUtf8(mode);
    if (!loop || !removed)
        return;
    Doomed doomed;
    std::lock_guard lock(runLoopMutex());
    const auto found = std::find_if(loop->sources.begin(), loop->sources.end(),
                                    [removed](const auto& entry) { return entry.item.get() == removed; });
    if (found == loop->sources.end())
        return;
    auto& modes = found->modes;
    modes.erase(std::remove(modes.begin(), modes.end(), name), modes.end());
    if (!modes.empty())
        return;
    doomed.push_back(Ref<Object>::adopt(found->item.detach()));
    loop->sources.erase(found);
    auto& loops = removed->loops;
    loops.erase(std::remove(loops.begin(), loops.end(), loop), loops.end());
    loop->wakeUp();
}

Boolean CFRunLoopContainsSource(CFRunLoopRef rl, CFRunLoopSourceRef source, CFRunLoopMode mode)
{
    RunLoop* loop = cast<RunLoop>(rl);
    if (!loop)
        return false;
    std::lock_guard lock(runLoopMutex());
    const auto found = std::find_if(loop->sources.begin(), loop->sources.end(),
                                    [source](const auto& entry) { return entry.item.get() == source; });
    return found != loop->sources.end() && runsInMode(found->modes, stringToUtf8(mode));
}

void CFRunLoopSourceInvalidate(CFRunLoopSourceRef source)
{
    RunLoopSource* invalidated = cast<RunLoopSource>(source);
    if (!invalidated)
        return;
    Doomed doomed;
    std::lock_guard lock(runLoopMutex());
    invalidateSourceLocked(*invalidated, doomed);
}

Boolean CFRunLoopSourceIsValid(CFRunLoopSourceRef source)
{
    RunLoopSource* checked = cast<RunLoopSource>(source);
    if (!checked)
        return false;
    std::lock_guard lock(runLoopMutex());
    return checked->valid;
}

CFFileDescriptorRef CFFileDescriptorCreate(CFAllocatorRef, CFFileDescriptorNativeDescriptor fd,
                                           Boolean closeOnInvalidate, CFFileDescriptorCallBack callout,
                                           const CFFileDescriptorContext* context)
{
    if (fd < 0)
        return nullptr;
    return new FileDescriptor(fd, closeOnInvalidate, callout, context);
}

CFFileDescriptorNativeDescriptor CFFileDescriptorGetNativeDescriptor(CFFileDescriptorRef f)
{
    const FileDescriptor* descriptor = cast<FileDescriptor>(f);
    return descriptor ? descriptor->fd : -1;
}

void CFFileDescriptorEnableCallBacks(CFFileDescriptorRef f, CFOptionFlags callBackTypes)
{
    FileDescriptor* descriptor = cast<FileDescriptor>(f);
    if (!descriptor)
        return;
    std::lock_guard lock(runLoopMutex());
    if (!descriptor->valid)
        return;
    descriptor->enabledCallBacks |= callBackTypes & (kCFFileDescriptorReadCallBack | kCFFileDescriptorWriteCallBack);
    if (descriptor->source)
        for (RunLoop* loop : descriptor->source->loops)
            loop->wakeUp();
}

void CFFileDescriptorDisableCallBacks(CFFileDescriptorRef f, CFOptionFlags callBackTypes)
{
    FileDescriptor* descriptor = cast<FileDescriptor>(f);
    if (!descriptor)
        return;
    std::lock_guard lock(runLoopMutex());
    descriptor->enabledCallBacks &= ~callBackTypes;
}

void CFFileDescriptorInvalidate(CFFileDescriptorRef f)
{
    FileDescriptor* descriptor = cast<FileDescriptor>(f);
    if (!descriptor)
        return;
    Doomed doomed;
    std::lock_guard lock(runLoopMutex());
    invalidateDescriptorLocked(*descriptor, doomed);
}

Boolean CFFileDescriptorIsValid(CFFileDescriptorRef f)
{
    FileDescriptor* descriptor = cast<FileDescriptor>(f);
    if (!descriptor)
        return false;
    std::lock_guard lock(runLoopMutex());
    return descriptor->valid;
}

CFRunLoopSourceRef CFFileDescriptorCreateRunLoopSource(CFAllocatorRef, CFFileDescriptorRef f, CFIndex order)
{
    FileDescriptor* descriptor = cast<FileDescriptor>(f);
    if (!descriptor)
        return nullptr;
    std::lock_guard lock(runLoopMutex());
    if (!descriptor->valid)
        return nullptr;
    if (descriptor->source && descriptor->source->tryRetain())
        return descriptor->source;
    descriptor->source = new RunLoopSource(order, descriptor);
    return descriptor->source;
}

}  // extern "C"
