#pragma once
// What the preset code shares: typed look-ups in preset dictionaries with the
// messages hosts and users see, and the file operations on preset folders.
// File Manager failures throw MacOSException with their status.

#include <CoreServices/CoreServices.h>

#include "tandem/cf_handle.h"

#include <cstddef>
#include <vector>

// The dictionary a preset value must be; FormatException "Invalid AUPreset format" otherwise.
CFDictionaryRef presetDictionary(CFPropertyListRef value);
// The value under key, of the given type: TandemException "Missing key in dictionary" when absent,
// FormatException "Value in dictionary is not of expected type" when of another type.
CFTypeRef presetValue(CFDictionaryRef dictionary, CFStringRef key, CFTypeID type);
SInt32 presetNumber(CFDictionaryRef dictionary, CFStringRef key);
CFNumberRef createNumber(SInt32 value);

// Bytes to hand to the VST layer, which wants a pointer even for no data.
const unsigned char* bytesOf(CFDataRef data);
const unsigned char* bytesOf(const std::vector<char>& data);

// A file name as the File Manager takes it.
struct UnicodeName
{
    UniChar units[255];
    UniCharCount length;
};
// Mac Roman text as a file name; MacOSException errFSNameTooLong beyond 255 characters.
UnicodeName fileNameFromMacRoman(const char* text);

// The property list as XML, written from the start of an existing file and
// closed (DataFork::close).
void saveProperties(CFPropertyListRef propertyList, const FSRef& file);
// The property list as XML in the file `name` of `folder`, which it replaces
// only once written whole.
void replaceWithProperties(const FSRef& folder, const UnicodeName& name, CFPropertyListRef propertyList);
// The folder `name` in `parent`, created when missing. Names keep to space .. "~".
void descendOrCreateFolder(const FSRef& parent, UniCharCount nameLength, const UniChar* name, FSRef& folder);

inline constexpr ItemCount kItemsPerRequest = 64;
// The items directly inside a folder; the iterator is closed on every path.
class FolderIterator
{
public:
    explicit FolderIterator(const FSRef& folder);
    ~FolderIterator();
    FolderIterator(const FolderIterator&) = delete;
    FolderIterator& operator=(const FolderIterator&) = delete;

    // The next items into `refs`; false once the folder has no more.
    bool next(FSRef (&refs)[kItemsPerRequest], ItemCount& count);

private:
    FSIterator iterator = nullptr;
};
