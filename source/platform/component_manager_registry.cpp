// Component registration from a bundle's Info.plist, search by description
// and component information.
#include "platform/component_manager.h"

#include <CoreServices/MacMemory.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

using velmora::components::RegisteredComponent;

namespace
{

// Component handles are this tag plus the registry index.
constexpr uintptr_t kComponentTag = uintptr_t{1} << 40;

struct Registry
{
    std::mutex mutex;
    std::vector<std::unique_ptr<RegisteredComponent>> components;
};

Registry& registry()
{
    static auto* instance = new Registry;  // never destroyed: hosts may look up during exit
    return *instance;
}

Component handleOf(size_t index) { return reinterpret_cast<Component>(kComponentTag + index); }

// Four characters, the first in the most significant byte.
std::optional<OSType> fourCharCode(CFTypeRef value)
{
    char text[5];
    if (!value || CFGetTypeID(value) != CFStringGetTypeID() ||
        !CFStringGetCString(static_cast<CFStringRef>(value), text, sizeof text, kCFStringEncodingMacRoman) ||
        std::strlen(text) != 4)
        return std::nullopt;
    OSType code = 0;
    for (char character : std::string_view(text, 4))
        code = (code << 8) | static_cast<UInt8>(character);
    return code;
}

CFTypeRef valueOf(CFDictionaryRef entry, const char* key)
{
    CFStringRef name = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
    CFTypeRef value = CFDictionaryGetValue(entry, name);
    CFRelease(name);
    return value;
}

struct Declared
{
    ComponentDescription description;
    std::string name;
    std::string factory;
    SInt32 version;
};

// The entry's "version": an integer when given, 0 when not.
std::optional<SInt32> versionOf(CFTypeRef value)
{
    SInt32 version = 0;
    if (!value)
        return version;
    if (CFGetTypeID(value) != CFNumberGetTypeID() || CFNumberIsFloatType(static_cast<CFNumberRef>(value)) ||
        !CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt32Type, &version))
        return std::nullopt;
    return version;
}

std::optional<Declared> readEntry(CFTypeRef entry)
{
    if (!entry || CFGetTypeID(entry) != CFDictionaryGetTypeID())
        return std::nullopt;
    const auto dictionary = static_cast<CFDictionaryRef>(entry);
    const auto type = fourCharCode(valueOf(dictionary, "type"));
    const auto subtype = fourCharCode(valueOf(dictionary, "subtype"));
    const auto manufacturer = fourCharCode(valueOf(dictionary, "manufacturer"));
    CFTypeRef name = valueOf(dictionary, "name");
    CFTypeRef factory = valueOf(dictionary, "factoryFunction");
    const auto version = versionOf(valueOf(dictionary, "version"));
    char nameText[256];
    char factoryText[256];
    if (!type || !subtype || !manufacturer || !version || !name || CFGetTypeID(name) != CFStringGetTypeID() ||
        !CFStringGetCString(static_cast<CFStringRef>(name), nameText, sizeof nameText, kCFStringEncodingMacRoman) ||
        !factory || CFGetTypeID(factory) != CFStringGetTypeID() ||
        !CFStringGetCString(static_cast<CFStringRef>(factory), factoryText, sizeof factoryText,
                            kCFStringEncodingUTF8) ||
        !factoryText[0])
        return std::nullopt;
    return Declared{{*type, *subtype, *manufacturer, 0, 0}, nameText, factoryText, *version};
}

bool sameDescription(const ComponentDescription& a, const ComponentDescription& b)
{
    return a.componentType == b.componentType && a.componentSubType == b.componentSubType &&
           a.componentManufacturer == b.componentManufacturer;
}

bool matches(const ComponentDescription& candidate, const ComponentDescription& looking)
{
    const auto field = [](OSType wanted, OSType actual) { return wanted == 0 || wanted == actual; };
    return field(looking.componentType, candidate.componentType) &&
           field(looking.componentSubType, candidate.componentSubType) &&
           field(looking.componentManufacturer, candidate.componentManufacturer) &&
           ((candidate.componentFlags ^ looking.componentFlags) & looking.componentFlagsMask) == 0;
}

// A Pascal string: length byte, then the bytes.
OSErr setPascalString(Handle handle, const std::string& text)
{
    SetHandleSize(handle, static_cast<Size>(text.size() + 1));
    if (MemError() != noErr)
        return MemError();
    (*handle)[0] = static_cast<char>(text.size());
    std::memcpy(*handle + 1, text.data(), text.size());
    return noErr;
}

OSErr registerDeclared(CFBundleRef bundle, const std::vector<Declared>& declared)
{
    std::vector<ComponentRoutineProcPtr> entries;
    for (const Declared& component : declared)
    {
        if (!CFBundleLoadExecutable(bundle))
            return componentDllLoadErr;
        CFStringRef factory = CFStringCreateWithCString(nullptr, component.factory.c_str(), kCFStringEncodingUTF8);
        void* entry = CFBundleGetFunctionPointerForName(bundle, factory);
        CFRelease(factory);
        if (!entry)
            return componentDllEntryNotFoundErr;
        entries.push_back(reinterpret_cast<ComponentRoutineProcPtr>(entry));
    }
    Registry& shared = registry();
    std::lock_guard lock(shared.mutex);
    for (size_t index = 0; index < declared.size(); ++index)
    {
        const bool registered = std::any_of(shared.components.begin(), shared.components.end(), [&](const auto& known) {
            return known->bundle == bundle && sameDescription(known->description, declared[index].description);
        });
        if (registered)
            continue;
        CFRetain(bundle);
        shared.components.push_back(std::make_unique<RegisteredComponent>(RegisteredComponent{
            declared[index].description, declared[index].name, declared[index].version, entries[index], bundle}));
    }
    return noErr;
}

}  // namespace

namespace velmora::components
{

const RegisteredComponent* registeredComponent(Component component)
{
    const auto value = reinterpret_cast<uintptr_t>(component);
    if (value < kComponentTag)
        return nullptr;
    Registry& shared = registry();
    std::lock_guard lock(shared.mutex);
    const uintptr_t index = value - kComponentTag;
    return index < shared.components.size() ? shared.components[index].get() : nullptr;
}

const RegisteredComponent* registeredComponentOrInstance(Component component)
{
    if (const RegisteredComponent* registered = registeredComponent(component))
        return registered;
    return registeredComponent(componentOfInstance(reinterpret_cast<ComponentInstance>(component)));
}

}  // namespace velmora::components

extern "C" {

OSErr RegisterComponentFileRef(const FSRef* ref, SInt16)
{
    if (!ref)
        return paramErr;
    FSCatalogInfo info;
    if (const OSErr error = FSGetCatalogInfo(ref, kFSCatInfoNodeFlags, &info, nullptr, nullptr, nullptr);
        error != noErr)
        return error;
    CFURLRef bundleURL = CFURLCreateFromFSRef(nullptr, ref);
    if (!bundleURL)
        return fnfErr;
    CFBundleRef bundle = CFBundleCreate(nullptr, bundleURL);
    CFRelease(bundleURL);
    if (!bundle)
        return fnfErr;
    CFTypeRef list = CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("AudioComponents"));
    OSErr result = resNotFound;
    if (list && CFGetTypeID(list) == CFArrayGetTypeID() && CFArrayGetCount(static_cast<CFArrayRef>(list)) > 0)
    {
        const auto array = static_cast<CFArrayRef>(list);
        std::vector<Declared> declared;
        for (CFIndex index = 0; index < CFArrayGetCount(array); ++index)
        {
            if (auto entry = readEntry(CFArrayGetValueAtIndex(array, index)))
                declared.push_back(std::move(*entry));
        }
        result = declared.size() == static_cast<size_t>(CFArrayGetCount(array)) ? registerDeclared(bundle, declared)
                                                                                : OSErr{paramErr};
    }
    CFRelease(bundle);
    return result;
}

Component FindNextComponent(Component aComponent, ComponentDescription* looking)
{
    Registry& shared = registry();
    std::lock_guard lock(shared.mutex);
    const auto value = reinterpret_cast<uintptr_t>(aComponent);
    size_t next = value >= kComponentTag ? value - kComponentTag + 1 : 0;
    for (; next < shared.components.size(); ++next)
    {
        if (!looking || matches(shared.components[next]->description, *looking))
            return handleOf(next);
    }
    return nullptr;
}

OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd, Handle componentName, Handle componentInfo,
                       Handle)
{
    const RegisteredComponent* component = velmora::components::registeredComponentOrInstance(aComponent);
    if (!component)
        return invalidComponentID;
    if (cd)
        *cd = component->description;
    if (componentName)
    {
        if (const OSErr error = setPascalString(componentName, component->name))
            return error;
    }
    if (componentInfo)
        return setPascalString(componentInfo, "");
    return noErr;
}

}  // extern "C"
