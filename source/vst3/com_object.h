#pragma once
// What every object the plug-in hands a VST3 host shares: a thread-safe
// reference count that starts at one and deletes the object at zero, and the
// answer to queryInterface for each interface the object offers.

#include "vst3/abi/base.h"

#include <atomic>
#include <type_traits>

namespace velmora::vst3face
{
// The interfaces an object offers, counted once for all of them. Its own
// destructor comes after the interfaces' methods in the first table, where
// hosts never look.
template <class... Interfaces>
class ComObject : public Interfaces...
{
public:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    vst3::uint32 addRef() override { return references.fetch_add(1, std::memory_order_relaxed) + 1; }
    vst3::uint32 release() override
    {
        const vst3::uint32 left = references.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual ~ComObject() = default;

private:
    std::atomic<vst3::uint32> references{1};
};

// When `id` names Interface, the object as that interface, with a reference
// added for the caller. As picks the path when Interface is a base that
// several of the object's interfaces share (FUnknown, IPluginBase).
template <class Interface, class As = Interface, class Object>
bool answerAs(Object* object, const char* id, void** result) noexcept
{
    if (!Interface::iid.is(id))
        return false;
    *result = static_cast<Interface*>(static_cast<As*>(object));
    object->addRef();
    return true;
}

// Holds `object` in `slot` with a reference of its own, giving back the one
// held before; null empties the slot.
template <class Interface>
void holdReference(Interface*& slot, std::type_identity_t<Interface>* object) noexcept
{
    if (object)
        object->addRef();
    if (slot)
        slot->release();
    slot = object;
}

// The answer for an interface the object does not offer.
inline vst3::tresult noInterface(void** result) noexcept
{
    if (result)
        *result = nullptr;
    return vst3::kNoInterface;
}
}  // namespace velmora::vst3face
