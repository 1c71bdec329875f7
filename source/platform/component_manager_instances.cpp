// Component instances: a fixed table of slots, so that the audio path finds an
// instance's entry and storage without a lock or an allocation. A handle holds
// its slot and the slot's generation at opening; a slot reused after Close has
// a new generation, so the stale handle no longer matches.
#include "platform/component_manager.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <type_traits>

using velmora::components::callSelector;

namespace
{

constexpr uintptr_t kInstanceTag = uintptr_t{2} << 40;
constexpr unsigned kSlotBits = 16;
constexpr size_t kMaxInstances = 1024;

// Written by the opening thread before the handle is published; read by any
// thread that was handed the handle.
struct Slot
{
    std::atomic<uintptr_t> handle{0};  // 0: free
    std::atomic<ComponentRoutineProcPtr> entry{nullptr};
    std::atomic<Handle> storage{nullptr};
    std::atomic<Component> component{nullptr};
    uintptr_t generation = 0;  // guarded by the table's mutex
};

struct Table
{
    std::mutex mutex;  // opening and closing only
    std::array<Slot, kMaxInstances> slots;
};

// Constant-initialized and trivially destroyed: the audio path reads it
// without a first-use guard, and instances may be closed during exit.
constinit Table sharedTable;
static_assert(std::is_trivially_destructible_v<Table>);

Table& table() { return sharedTable; }

Slot* slotOf(ComponentInstance instance)
{
    const auto value = reinterpret_cast<uintptr_t>(instance);
    if ((value & ~((uintptr_t{1} << 40) - 1)) != kInstanceTag)
        return nullptr;
    Slot& slot = table().slots[(value & ((uintptr_t{1} << kSlotBits) - 1)) % kMaxInstances];
    return slot.handle.load(std::memory_order_acquire) == value ? &slot : nullptr;
}

ComponentInstance reserveSlot(Component component, ComponentRoutineProcPtr entry)
{
    Table& shared = table();
    std::lock_guard lock(shared.mutex);
    for (size_t index = 0; index < kMaxInstances; ++index)
    {
        Slot& slot = shared.slots[index];
        if (slot.handle.load(std::memory_order_relaxed) != 0)
            continue;
        slot.generation = (slot.generation + 1) & ((uintptr_t{1} << (40 - kSlotBits)) - 1);
        slot.entry.store(entry, std::memory_order_relaxed);
        slot.storage.store(nullptr, std::memory_order_relaxed);
        slot.component.store(component, std::memory_order_relaxed);
        const uintptr_t handle = kInstanceTag | (slot.generation << kSlotBits) | index;
        slot.handle.store(handle, std::memory_order_release);
        return reinterpret_cast<ComponentInstance>(handle);
    }
    return nullptr;
}

void releaseSlot(Slot& slot)
{
    std::lock_guard lock(table().mutex);
    slot.handle.store(0, std::memory_order_release);
}

}  // namespace

namespace velmora::components
{

Component componentOfInstance(ComponentInstance instance)
{
    Slot* slot = slotOf(instance);
    return slot ? slot->component.load(std::memory_order_relaxed) : nullptr;
}

// Entries declare their storage as what they keep in it (TandemEntry takes
// its TandemComponent*), as Mac components do, and are called with it as the
// Handle it is stored as: a call clang's function-type check would stop.
#if defined(__clang__)
__attribute__((no_sanitize("function")))
#endif
ComponentResult
dispatchToInstance(ComponentParameters* cp)
{
    if (!cp)
        return badComponentInstance;
    ComponentInstance instance;
    std::memcpy(&instance, &cp->params[0], sizeof instance);
    Slot* slot = slotOf(instance);
    if (!slot)
        return badComponentInstance;
    return slot->entry.load(std::memory_order_relaxed)(cp, slot->storage.load(std::memory_order_relaxed));
}

}  // namespace velmora::components

extern "C" {

OSErr OpenAComponent(Component aComponent, ComponentInstance* ci)
{
    if (!ci)
        return paramErr;
    *ci = nullptr;
    const velmora::components::RegisteredComponent* component = velmora::components::registeredComponent(aComponent);
    if (!component)
        return invalidComponentID;
    ComponentInstance instance = reserveSlot(aComponent, component->entry);
    if (!instance)
        return memFullErr;
    const ComponentResult opened = callSelector(instance, kComponentOpenSelect, instance);
    if (opened != noErr)
    {
        callSelector(instance, kComponentCloseSelect, instance);
        if (Slot* slot = slotOf(instance))
            releaseSlot(*slot);
        return static_cast<OSErr>(opened);
    }
    *ci = instance;
    return noErr;
}

OSErr CloseComponent(ComponentInstance aComponentInstance)
{
    Slot* slot = slotOf(aComponentInstance);
    if (!slot)
        return invalidComponentID;
    const ComponentResult closed = callSelector(aComponentInstance, kComponentCloseSelect, aComponentInstance);
    releaseSlot(*slot);
    return static_cast<OSErr>(closed);
}

void SetComponentInstanceStorage(ComponentInstance aComponentInstance, Handle theStorage)
{
    if (Slot* slot = slotOf(aComponentInstance))
        slot->storage.store(theStorage, std::memory_order_relaxed);
}

Handle GetComponentInstanceStorage(ComponentInstance aComponentInstance)
{
    Slot* slot = slotOf(aComponentInstance);
    return slot ? slot->storage.load(std::memory_order_relaxed) : nullptr;
}

ComponentResult CallComponentDispatch(ComponentParameters* cp) { return velmora::components::dispatchToInstance(cp); }

ComponentResult ComponentFunctionImplemented(ComponentInstance ci, SInt16 ftnNumber)
{
    return callSelector(ci, kComponentCanDoSelect, ftnNumber);
}

ComponentResult GetComponentVersion(ComponentInstance ci) { return callSelector(ci, kComponentVersionSelect); }

}  // extern "C"
