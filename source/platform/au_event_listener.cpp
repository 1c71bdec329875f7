// Event listeners over the run loop: each listener owns an eventfd watched by
// a run-loop source on its loop. Posting queues the event for every matching
// registration under one short lock and signals the eventfd; the source's
// callback then delivers the queue on the listener's own thread.
#include <AudioToolbox/AudioUnitUtilities.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <mutex>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace
{

// Events waiting for one listener; more are dropped until it catches up.
constexpr size_t kQueueCapacity = 1024;

struct Registration
{
    void* object;
    AudioUnitEvent event;
};

struct Pending
{
    void* object;
    AudioUnitEvent event;
    UInt64 hostTime;
};

}  // namespace

struct AUListenerBase
{
    AUListenerBase(AUEventListenerProc listenerProc, void* listenerRefCon, int eventFd)
        : proc(listenerProc), refCon(listenerRefCon), wakeFd(eventFd)
    {
        pending.reserve(kQueueCapacity);
        delivering.reserve(kQueueCapacity);
    }
    ~AUListenerBase() { close(wakeFd); }

    const AUEventListenerProc proc;
    void* const refCon;
    const int wakeFd;
    std::atomic<int> references{1};
    std::atomic<bool> disposed{false};
    CFFileDescriptorRef descriptor = nullptr;
    CFRunLoopSourceRef source = nullptr;
    // Guarded by the registry's mutex:
    std::vector<Registration> registrations;
    std::vector<Pending> pending;
    // Touched only on the listener's loop:
    std::vector<Pending> delivering;
};

namespace
{

struct Registry
{
    std::mutex mutex;
    std::vector<AUListenerBase*> listeners;
};

Registry& registry()
{
    static auto* instance = new Registry;  // never destroyed: units may post during exit
    return *instance;
}

void* retainListener(void* info)
{
    static_cast<AUListenerBase*>(info)->references.fetch_add(1, std::memory_order_relaxed);
    return info;
}

void releaseListener(void* info)
{
    auto* listener = static_cast<AUListenerBase*>(info);
    if (listener->references.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete listener;
}

UInt64 hostTimeNow()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<UInt64>(now.tv_sec) * 1000000000u + static_cast<UInt64>(now.tv_nsec);
}

bool isParameterEvent(AudioUnitEventType type) { return type <= kAudioUnitEvent_EndParameterChangeGesture; }

bool sameParameter(const AudioUnitParameter& a, const AudioUnitParameter& b)
{
    return a.mAudioUnit == b.mAudioUnit && a.mParameterID == b.mParameterID && a.mScope == b.mScope &&
           a.mElement == b.mElement;
}

bool matches(const AudioUnitEvent& registered, const AudioUnitEvent& posted)
{
    if (registered.mEventType != posted.mEventType)
        return false;
    if (!isParameterEvent(posted.mEventType))
    {
        const AudioUnitProperty& a = registered.mArgument.mProperty;
        const AudioUnitProperty& b = posted.mArgument.mProperty;
        return a.mAudioUnit == b.mAudioUnit && a.mPropertyID == b.mPropertyID && a.mScope == b.mScope &&
               a.mElement == b.mElement;
    }
    AudioUnitParameter wanted = registered.mArgument.mParameter;
    if (wanted.mParameterID == kAUParameterListener_AnyParameter)
        wanted.mParameterID = posted.mArgument.mParameter.mParameterID;
    return sameParameter(wanted, posted.mArgument.mParameter);
}

// Caller holds the registry's mutex. False when nothing was added.
bool enqueueLocked(AUListenerBase& listener, void* object, const AudioUnitEvent& event, UInt64 hostTime)
{
    if (event.mEventType == kAudioUnitEvent_ParameterValueChange)
    {
        const bool waiting = std::any_of(listener.pending.begin(), listener.pending.end(), [&](const Pending& queued) {
            return queued.object == object && queued.event.mEventType == kAudioUnitEvent_ParameterValueChange &&
                   sameParameter(queued.event.mArgument.mParameter, event.mArgument.mParameter);
        });
        if (waiting)
            return false;  // delivery reads the latest value anyway
    }
    if (listener.pending.size() >= kQueueCapacity)
        return false;
    listener.pending.push_back({object, event, hostTime});
    return true;
}

void deliver(CFFileDescriptorRef descriptor, CFOptionFlags, void* info)
{
    auto& listener = *static_cast<AUListenerBase*>(info);
    uint64_t count;
    while (read(listener.wakeFd, &count, sizeof count) > 0)
    {}
    CFFileDescriptorEnableCallBacks(descriptor, kCFFileDescriptorReadCallBack);
    {
        std::lock_guard lock(registry().mutex);
        listener.delivering.swap(listener.pending);
    }
    for (const Pending& event : listener.delivering)
    {
        if (listener.disposed.load(std::memory_order_relaxed))
            break;
        AudioUnitParameterValue value = 0;
        if (event.event.mEventType == kAudioUnitEvent_ParameterValueChange)
        {
            const AudioUnitParameter& parameter = event.event.mArgument.mParameter;
            if (AudioUnitGetParameter(parameter.mAudioUnit, parameter.mParameterID, parameter.mScope,
                                      parameter.mElement, &value) != noErr)
                value = 0;
        }
        listener.proc(listener.refCon, event.object, &event.event, event.hostTime, value);
    }
    listener.delivering.clear();
}

bool isRegisteredLocked(AUListenerBase* listener)
{
    const auto& listeners = registry().listeners;
    return std::find(listeners.begin(), listeners.end(), listener) != listeners.end();
}

}  // namespace

extern "C" {

OSStatus AUEventListenerCreate(AUEventListenerProc inProc, void* inCallbackRefCon, CFRunLoopRef inRunLoop,
                               CFStringRef inRunLoopMode, Float32, Float32, AUEventListenerRef* outListener)
{
    if (outListener)
        *outListener = nullptr;
    if (!inProc || !inRunLoop || !outListener)
        return paramErr;
    const int wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd < 0)
        return memFullErr;
    auto* listener = new AUListenerBase(inProc, inCallbackRefCon, wakeFd);
    const CFFileDescriptorContext context = {0, listener, retainListener, releaseListener, nullptr};
    listener->descriptor = CFFileDescriptorCreate(nullptr, wakeFd, false, deliver, &context);
    listener->source = CFFileDescriptorCreateRunLoopSource(nullptr, listener->descriptor, 0);
    CFFileDescriptorEnableCallBacks(listener->descriptor, kCFFileDescriptorReadCallBack);
    CFRunLoopAddSource(inRunLoop, listener->source, inRunLoopMode ? inRunLoopMode : kCFRunLoopDefaultMode);
    {
        std::lock_guard lock(registry().mutex);
        registry().listeners.push_back(listener);
    }
    *outListener = listener;
    return noErr;
}

OSStatus AUEventListenerAddEventType(AUEventListenerRef inListener, void* inObject, const AudioUnitEvent* inEvent)
{
    if (!inEvent || inEvent->mEventType > kAudioUnitEvent_PropertyChange)
        return paramErr;
    std::lock_guard lock(registry().mutex);
    if (!isRegisteredLocked(inListener))
        return paramErr;
    inListener->registrations.push_back({inObject, *inEvent});
    return noErr;
}

OSStatus AUListenerDispose(AUParameterListenerRef inListener)
{
    {
        std::lock_guard lock(registry().mutex);
        auto& listeners = registry().listeners;
        const auto found = std::find(listeners.begin(), listeners.end(), inListener);
        if (found == listeners.end())
            return paramErr;
        listeners.erase(found);
        inListener->disposed.store(true, std::memory_order_relaxed);
    }
    CFFileDescriptorInvalidate(inListener->descriptor);
    CFRelease(inListener->source);
    CFRelease(inListener->descriptor);
    releaseListener(inListener);
    return noErr;
}

OSStatus AUEventListenerNotify(AUEventListenerRef inSendingListener, void* inSendingObject,
                               const AudioUnitEvent* inEvent)
{
    if (!inEvent || inEvent->mEventType > kAudioUnitEvent_PropertyChange)
        return paramErr;
    const UInt64 hostTime = hostTimeNow();
    const uint64_t one = 1;
    std::lock_guard lock(registry().mutex);
    for (AUListenerBase* listener : registry().listeners)
    {
        if (listener == inSendingListener)
            continue;
        bool queued = false;
        for (const Registration& registration : listener->registrations)
        {
            if ((inSendingObject && registration.object == inSendingObject) || !matches(registration.event, *inEvent))
                continue;
            queued = enqueueLocked(*listener, registration.object, *inEvent, hostTime) || queued;
        }
        if (queued && write(listener->wakeFd, &one, sizeof one) < 0)
        {
            // The counter is already signalled: the loop will look anyway.
        }
    }
    return noErr;
}

OSStatus AUParameterListenerNotify(AUParameterListenerRef inSendingListener, void* inSendingObject,
                                   const AudioUnitParameter* inParameter)
{
    if (!inParameter)
        return paramErr;
    AudioUnitEvent event{};
    event.mEventType = kAudioUnitEvent_ParameterValueChange;
    event.mArgument.mParameter = *inParameter;
    return AUEventListenerNotify(inSendingListener, inSendingObject, &event);
}

}  // extern "C"
