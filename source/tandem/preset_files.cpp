#include "tandem/preset_files.h"

#include "tandem/file_reading.h"
#include "tandem/pending_item.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"

#include <cstring>

namespace
{
void check(OSErr status)
{
    if (status != noErr)
    {
        throw MacOSException(status);
    }
}

const unsigned char kNoBytes[1] = {};
}  // namespace

CFDictionaryRef presetDictionary(CFPropertyListRef value)
{
    if (value == nullptr || CFGetTypeID(value) != CFDictionaryGetTypeID())
    {
        throw FormatException("Invalid AUPreset format");
    }
    return static_cast<CFDictionaryRef>(value);
}

CFTypeRef presetValue(CFDictionaryRef dictionary, CFStringRef key, CFTypeID type)
{
    CFTypeRef value = CFDictionaryGetValue(dictionary, key);
    if (value == nullptr)
    {
        throw TandemException("Missing key in dictionary");
    }
    if (CFGetTypeID(value) != type)
    {
        throw FormatException("Value in dictionary is not of expected type");
    }
    return value;
}

SInt32 presetNumber(CFDictionaryRef dictionary, CFStringRef key)
{
    SInt32 number = 0;
    CFNumberGetValue(static_cast<CFNumberRef>(presetValue(dictionary, key, CFNumberGetTypeID())), kCFNumberSInt32Type,
                     &number);
    return number;
}

CFNumberRef createNumber(SInt32 value)
{
    CFNumberRef number = CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &value);
    TANDEM_REQUIRE(number != 0);
    return number;
}

const unsigned char* bytesOf(CFDataRef data)
{
    const UInt8* bytes = CFDataGetBytePtr(data);
    return bytes != nullptr ? bytes : kNoBytes;
}

const unsigned char* bytesOf(const std::vector<char>& data)
{
    return data.empty() ? kNoBytes : reinterpret_cast<const unsigned char*>(data.data());
}

UnicodeName fileNameFromMacRoman(const char* text)
{
    CFHandle<CFStringRef> string(CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingMacRoman));
    TANDEM_REQUIRE(string.get() != 0);
    UnicodeName name{};
    const CFIndex length = CFStringGetLength(string.get());
    if (length > static_cast<CFIndex>(std::size(name.units)))
    {
        throw MacOSException(errFSNameTooLong);
    }
    CFStringGetCharacters(string.get(), CFRangeMake(0, length), name.units);
    name.length = static_cast<UniCharCount>(length);
    return name;
}

void saveProperties(CFPropertyListRef propertyList, const FSRef& file)
{
    CFHandle<CFDataRef> xml(CFPropertyListCreateXMLData(kCFAllocatorDefault, propertyList));
    if (xml.get() == nullptr)
    {
        throw TandemException("Could not create XML data from property list");
    }
    DataFork fork(file, fsWrPerm);
    const CFIndex length = CFDataGetLength(xml.get());
    if (length > 0)
    {
        fork.write(CFDataGetBytePtr(xml.get()), static_cast<std::size_t>(length));
    }
    fork.close();
}

void replaceWithProperties(const FSRef& folder, const UnicodeName& name, CFPropertyListRef propertyList)
{
    PendingItem file(folder, name, PendingItem::Kind::file);
    saveProperties(propertyList, file.item());
    file.replace();
}

void descendOrCreateFolder(const FSRef& parent, UniCharCount nameLength, const UniChar* name, FSRef& folder)
{
    // A name outside printable ASCII comes from a bundle's own resources:
    // refused with the line that tells which character it was.
    for (UniCharCount index = 0; index < nameLength; ++index)
    {
        if (name[index] < 0x20 || name[index] > 0x7E)
        {
            tandemTrace("Folder name contained invalid character (ascii %d)\n", static_cast<int>(name[index]));
            throw TandemException("Folder name contained invalid character");
        }
    }
    const OSErr status = FSMakeFSRefUnicode(&parent, nameLength, name, kTextEncodingUnknown, &folder);
    if (status == fnfErr)
    {
        check(FSCreateDirectoryUnicode(&parent, nameLength, name, kFSCatInfoNone, nullptr, &folder, nullptr, nullptr));
        return;
    }
    check(status);
}

FolderIterator::FolderIterator(const FSRef& folder) { check(FSOpenIterator(&folder, kFSIterateFlat, &iterator)); }

FolderIterator::~FolderIterator() { FSCloseIterator(iterator); }

bool FolderIterator::next(FSRef (&refs)[kItemsPerRequest], ItemCount& count)
{
    count = 0;
    const OSErr status = FSGetCatalogInfoBulk(iterator, kItemsPerRequest, &count, nullptr, kFSCatInfoNone, nullptr,
                                              refs, nullptr, nullptr);
    if (status == errFSNoMoreItems)
    {
        return false;
    }
    check(status);
    return true;
}
