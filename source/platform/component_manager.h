// Shared by the Component Manager's files: the registry of components, the
// link from an instance to its component, and the packing of a call.
#pragma once

#include <CoreServices/Components.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <type_traits>

namespace velmora::components
{

struct RegisteredComponent
{
    ComponentDescription description;
    std::string name;  // Mac Roman, at most 255 bytes
    SInt32 version;
    ComponentRoutineProcPtr entry;
    CFBundleRef bundle;  // kept for good: components are never unregistered
};

// Null for anything that is not a registered component's handle. Entries stay
// where they are for the life of the process.
const RegisteredComponent* registeredComponent(Component component);
// The same for a component's handle or an open instance of it.
const RegisteredComponent* registeredComponentOrInstance(Component component);
// The component of an open instance, else null.
Component componentOfInstance(ComponentInstance instance);

// CallComponentDispatch's work, reached by the calls below without going
// through the exported symbol.
ComponentResult dispatchToInstance(ComponentParameters* cp);

// Packs the arguments as Components.h describes and calls the instance.
template <typename... Args>
ComponentResult callSelector(ComponentInstance instance, SInt16 selector, Args... args)
{
    static_assert(((std::is_trivially_copyable_v<Args> && sizeof(Args) <= sizeof(long)) && ...),
                  "every argument fits one slot");
    constexpr size_t kHeader = offsetof(ComponentParameters, params);
    constexpr size_t kCount = sizeof...(Args);
    alignas(ComponentParameters) unsigned char bytes[kHeader + (kCount + 1) * sizeof(long)] = {};
    ComponentParameters head{};
    head.paramSize = static_cast<UInt8>(kCount * sizeof(long));
    head.what = selector;
    std::memcpy(bytes, &head, kHeader);
    std::memcpy(bytes + kHeader, &instance, sizeof instance);
    [[maybe_unused]] size_t slot = 1;
    ((std::memcpy(bytes + kHeader + sizeof(long) * slot++, &args, sizeof args)), ...);
    return dispatchToInstance(reinterpret_cast<ComponentParameters*>(bytes));
}

}  // namespace velmora::components
