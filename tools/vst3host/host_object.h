#pragma once
// The host's side of VST3 objects: counted atomically (a plug-in may hold and
// drop them on its audio thread), destroyed by the release that reaches zero,
// answering queryInterface for FUnknown and for each interface they list.
// Always made with makeHostObject, never on the stack. Written apart from the
// plug-in's own object base on purpose, as the whole host is: a fault in
// counting must not hide in both sides of the test.

#include "vst3host/ref.h"

#include <atomic>
#include <tuple>
#include <utility>

namespace vst3host
{
template <typename... Interfaces>
class HostObject : public Interfaces...
{
public:
    HostObject() = default;
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;

    vst3::tresult queryInterface(const vst3::TUID interfaceId, void** object) override
    {
        if (!object)
            return vst3::kInvalidArgument;
        *object = find(interfaceId);
        if (!*object)
            return vst3::kNoInterface;
        addRef();
        return vst3::kResultOk;
    }
    vst3::uint32 addRef() override { return count.fetch_add(1, std::memory_order_relaxed) + 1; }
    vst3::uint32 release() override
    {
        const vst3::uint32 left = count.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0)
            delete this;
        return left;
    }

    // The references held, the host's own included; a snapshot when another
    // thread may hold or drop one at the same time.
    vst3::uint32 referenceCount() const { return count.load(std::memory_order_acquire); }

protected:
    virtual ~HostObject() = default;

private:
    using First = std::tuple_element_t<0, std::tuple<Interfaces...>>;

    void* find(const char* interfaceId)
    {
        void* found = nullptr;
        ((found = found ? found : (Interfaces::iid.is(interfaceId) ? static_cast<Interfaces*>(this) : nullptr)), ...);
        if (!found && vst3::FUnknown::iid.is(interfaceId))
            found = static_cast<vst3::FUnknown*>(static_cast<First*>(this));
        return found;
    }

    std::atomic<vst3::uint32> count{1};
};

// The work of a call the plug-in makes into the host, kept from throwing
// into the plug-in: a failed allocation answers kOutOfMemory.
template <typename Work>
vst3::tresult withoutThrowing(Work&& work) noexcept
{
    try
    {
        return work();
    }
    catch (...)
    {
        return vst3::kOutOfMemory;
    }
}

// A new host object, held by the returned reference.
template <typename Object, typename... Arguments>
Ref<Object> makeHostObject(Arguments&&... arguments)
{
    return Ref<Object>::adopt(new Object(std::forward<Arguments>(arguments)...));
}
}  // namespace vst3host
