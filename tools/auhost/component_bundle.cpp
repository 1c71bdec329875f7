#include "auhost/component_bundle.h"

#include "auhost/au_error.h"

#include <memory>

namespace auhost
{
namespace
{
struct HandleDisposer
{
    void operator()(Handle handle) const { DisposeHandle(handle); }
};

// A Pascal string in Mac Roman, as GetComponentInfo leaves a name.
std::string utf8FromPascal(Handle handle)
{
    if (GetHandleSize(handle) < 1)
        return {};
    const std::string macRoman(*handle + 1, static_cast<UInt8>(**handle));
    CFStringRef string = CFStringCreateWithCString(nullptr, macRoman.c_str(), kCFStringEncodingMacRoman);
    if (!string)
        return macRoman;
    const CFIndex size = CFStringGetMaximumSizeForEncoding(CFStringGetLength(string), kCFStringEncodingUTF8) + 1;
    std::string text(static_cast<size_t>(size), '\0');
    const bool converted = CFStringGetCString(string, text.data(), size, kCFStringEncodingUTF8);
    CFRelease(string);
    text.resize(converted ? text.find('\0') : 0);
    return text;
}
}  // namespace

void registerComponentBundle(const std::string& bundlePath)
{
    FSRef ref;
    check(FSPathMakeRef(reinterpret_cast<const UInt8*>(bundlePath.c_str()), &ref, nullptr), "FSPathMakeRef");
    check(RegisterComponentFileRef(&ref, 0), "RegisterComponentFileRef");
}

std::vector<ComponentEntry> findComponents(const ComponentDescription& looking)
{
    std::vector<ComponentEntry> found;
    ComponentDescription wanted = looking;
    const std::unique_ptr<std::remove_pointer_t<Handle>, HandleDisposer> name(NewHandle(0));
    for (Component next = FindNextComponent(nullptr, &wanted); next; next = FindNextComponent(next, &wanted))
    {
        ComponentEntry entry{next, {}, {}};
        check(GetComponentInfo(next, &entry.description, name.get(), nullptr, nullptr), "GetComponentInfo");
        entry.name = utf8FromPascal(name.get());
        found.push_back(entry);
    }
    return found;
}

std::string fourCharacterCode(OSType code)
{
    std::string text(4, '?');
    for (int index = 0; index < 4; ++index)
    {
        const auto character = static_cast<char>(code >> (24 - 8 * index));
        if (character >= 0x20 && character < 0x7F)
            text[index] = character;
    }
    return text;
}
}  // namespace auhost
