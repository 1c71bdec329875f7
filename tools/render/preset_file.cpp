#include "render/preset_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace render
{
namespace
{
constexpr unsigned char kRecordMagic[] = {'C', 'c', 'n', 'K'};

bool readDictionary(PresetFile& preset, std::string& error)
{
    const CFOwned bytes(
        CFDataCreate(kCFAllocatorDefault, preset.vstData.data(), static_cast<CFIndex>(preset.vstData.size())));
    CFOwned list(CFPropertyListCreateWithData(kCFAllocatorDefault, static_cast<CFDataRef>(bytes.get()),
                                              kCFPropertyListImmutable, nullptr, nullptr));
    if (!list || CFGetTypeID(list.get()) != CFDictionaryGetTypeID())
    {
        error = "'" + preset.path + "' is neither an .aupreset (an XML property list) nor an FXP/FXB file";
        return false;
    }
    const auto dictionary = static_cast<CFDictionaryRef>(list.get());
    const CFTypeRef data = CFDictionaryGetValue(dictionary, CFSTR("vstdata"));
    if (!data || CFGetTypeID(data) != CFDataGetTypeID())
    {
        error = "'" + preset.path + "' holds no \"vstdata\": it is not a preset of a VST effect";
        return false;
    }
    const auto vstData = static_cast<CFDataRef>(data);
    preset.vstData.assign(CFDataGetBytePtr(vstData), CFDataGetBytePtr(vstData) + CFDataGetLength(vstData));
    if (const CFTypeRef name = CFDictionaryGetValue(dictionary, CFSTR("name"));
        name && CFGetTypeID(name) == CFStringGetTypeID())
        preset.name = utf8(static_cast<CFStringRef>(name));
    SInt32 program = 0;
    if (const CFTypeRef number = CFDictionaryGetValue(dictionary, CFSTR("ProgramNumber"));
        number && CFGetTypeID(number) == CFNumberGetTypeID() &&
        CFNumberGetValue(static_cast<CFNumberRef>(number), kCFNumberSInt32Type, &program))
        preset.programNumber = program;
    preset.dictionary = std::move(list);
    return true;
}
}  // namespace

std::string utf8(CFStringRef string)
{
    char text[1024];
    return string && CFStringGetCString(string, text, sizeof text, kCFStringEncodingUTF8) ? text : "";
}

bool readPresetFile(const std::string& path, PresetFile& preset, std::string& error)
{
    preset.path = path;
    preset.name = std::filesystem::path(path).stem().string();
    std::error_code status;
    if (!std::filesystem::is_regular_file(path, status))
    {
        error = "cannot read preset '" + path +
                "': " + (std::filesystem::exists(path, status) ? "not a file" : "no such file");
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    preset.vstData.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof())
    {
        error = "cannot read preset '" + path + "'";
        return false;
    }
    if (preset.vstData.size() >= sizeof kRecordMagic &&
        std::equal(std::begin(kRecordMagic), std::end(kRecordMagic), preset.vstData.begin()))
        return true;
    return readDictionary(preset, error);
}
}  // namespace render
