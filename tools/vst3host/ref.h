#pragma once
// One reference to a VST3 object, the plug-in's or the host's: released when
// the holder goes, and the count the object reports on that release kept, so
// that a host can tell whether its last release destroyed the object.

#include "vst3/abi/base.h"

#include <optional>
#include <utility>

namespace vst3host
{
template <typename Interface>
class Ref
{
public:
    Ref() = default;
    // Takes over a reference the caller already holds (a new object, a
    // queried interface, GetPluginFactory's result).
    static Ref adopt(Interface* object)
    {
        Ref ref;
        ref.object = object;
        return ref;
    }
    // Adds a reference of its own.
    static Ref share(Interface* object)
    {
        if (object)
            object->addRef();
        return adopt(object);
    }

    Ref(const Ref& other) : object(other.object)
    {
        if (object)
            object->addRef();
    }
    Ref(Ref&& other) noexcept : object(std::exchange(other.object, nullptr)) {}
    Ref& operator=(Ref other) noexcept
    {
        std::swap(object, other.object);
        return *this;
    }
    ~Ref() { reset(); }

    Interface* get() const { return object; }
    Interface* operator->() const { return object; }
    Interface& operator*() const { return *object; }
    explicit operator bool() const { return object != nullptr; }

    // Gives the reference up: the count the object reported, or nothing when
    // the holder was empty.
    std::optional<vst3::uint32> reset()
    {
        if (!object)
            return std::nullopt;
        return std::exchange(object, nullptr)->release();
    }

private:
    Interface* object = nullptr;
};

// The object's Interface, as a new reference; empty when it does not answer.
template <typename Interface>
Ref<Interface> queryInterface(vst3::FUnknown* object)
{
    void* found = nullptr;
    if (!object || object->queryInterface(Interface::iid.data(), &found) != vst3::kResultOk || !found)
        return {};
    return Ref<Interface>::adopt(static_cast<Interface*>(found));
}
}  // namespace vst3host
