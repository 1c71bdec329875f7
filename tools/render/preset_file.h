#pragma once
// A preset file the user hands velmora-render: an .aupreset (an XML property
// list whose "vstdata" holds FXP or FXB bytes) or a bare .fxp or .fxb.

#include <CoreFoundation/CoreFoundation.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace render
{
struct CFReleaser
{
    void operator()(CFTypeRef object) const { CFRelease(object); }
};
using CFOwned = std::unique_ptr<const void, CFReleaser>;

// The string as UTF-8; empty for null or an unconvertible string.
std::string utf8(CFStringRef string);

struct PresetFile
{
    std::string path;
    std::string name;                    // the dictionary's "name", else the file name without extension
    std::vector<unsigned char> vstData;  // FXP or FXB bytes
    std::optional<int> programNumber;    // "ProgramNumber" of an .aupreset
    CFOwned dictionary;                  // the .aupreset as read; null for a bare FXP/FXB
};

// Reads and sorts out the file; false with a one-line reason in error when it
// is neither kind. Whether the data suits the effect is for the face to say.
bool readPresetFile(const std::string& path, PresetFile& preset, std::string& error);
}  // namespace render
