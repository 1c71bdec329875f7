// One-way conversion of the VST program and bank files that users keep in the
// Audio Unit preset folders ("Presets/<maker>/<product>" in the audio support
// folder of the user and local domains) into ".aupreset" files beside them.
// An existing ".aupreset" or bank folder keeps a file from being converted
// twice; a file that fails is reported and skipped.

#include "tandem/file_reading.h"
#include "tandem/pending_item.h"
#include "tandem/preset_files.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_preset_store.h"
#include "tandem/tandem_trace.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace
{
constexpr OSType kProgramFileType = 0x41467850;  // 'AFxP'
constexpr OSType kBankFileType = 0x41467842;     // 'AFxB'
// Past this index an extension leaves no room for ".aupreset" in 255 characters.
constexpr UniCharCount kLastExtensionStart = 247;
constexpr UniCharCount kMaxPresetNameLength = 246;
constexpr UniChar kPresetExtension[] = {'a', 'u', 'p', 'r', 'e', 's', 'e', 't'};

struct Domain
{
    FSVolumeRefNum domain;
    const char* name;
};
constexpr Domain kDomains[] = {{kUserDomain, "user"}, {kLocalDomain, "local"}};

void check(OSErr status)
{
    if (status != noErr)
    {
        throw MacOSException(status);
    }
}

bool extensionIs(CFStringRef extension, CFStringRef wanted)
{
    return extension != nullptr && CFStringCompare(extension, wanted, kCFCompareCaseInsensitive) == kCFCompareEqualTo;
}

struct PresetFileKind
{
    bool isProgram = false;
    bool isBank = false;
};

// What Launch Services says the item is; neither for anything but a visible plain file.
PresetFileKind presetFileKind(const FSRef& item)
{
    LSItemInfoRecord info{};
    if (LSCopyItemInfoForRef(&item, kLSRequestExtension | kLSRequestTypeCreator | kLSRequestBasicFlagsOnly, &info) !=
        noErr)
    {
        return {};
    }
    CFHandle<CFStringRef> extension(info.extension);
    if ((info.flags & kLSItemInfoIsPlainFile) == 0 || (info.flags & kLSItemInfoIsInvisible) != 0)
    {
        return {};
    }
    return {info.filetype == kProgramFileType || extensionIs(extension.get(), CFSTR("fxp")),
            info.filetype == kBankFileType || extensionIs(extension.get(), CFSTR("fxb"))};
}
}  // namespace

void TandemPresetStore::convertVSTPresets(const char* componentName)
{
    for (const Domain& domain : kDomains)
    {
        try
        {
            convertVSTPresetsInDomain(domain.domain, componentName);
        }
        catch (const std::exception& failure)
        {
            tandemTrace("Failed converting presets in %s domain, caught exception: %s\n", domain.name, failure.what());
        }
        catch (...)
        {
            tandemTrace("Failed converting presets in %s domain (caught general exception)\n", domain.name);
        }
    }
}

void TandemPresetStore::convertVSTPresetsInDomain(FSVolumeRefNum domain, const char* componentName)
{
    FSRef folder;
    check(FSFindFolder(domain, kAudioSupportFolderType, kDontCreateFolder, &folder));
    constexpr UniChar kPresets[] = {'P', 'r', 'e', 's', 'e', 't', 's'};
    descendOrCreateFolder(FSRef(folder), std::size(kPresets), kPresets, folder);
    // "Maker: Product" gives the folders Maker and Product, one in the other.
    for (const char* piece = componentName; *piece != '\0';)
    {
        const char* colon = std::strchr(piece, ':');
        const char* pieceEnd = colon != nullptr ? colon : piece + std::strlen(piece);
        const char* start = piece;
        while (start < pieceEnd && *start == ' ')
        {
            ++start;
        }
        const char* stop = pieceEnd;
        while (stop > start && stop[-1] == ' ')
        {
            --stop;
        }
        if (stop > start)
        {
            UniChar name[255];  // the component name holds at most 255 characters
            const auto length = static_cast<UniCharCount>(stop - start);
            // One character per byte: only space .. "~" passes the check below.
            std::transform(start, start + length, name, [](char c) { return static_cast<unsigned char>(c); });
            descendOrCreateFolder(FSRef(folder), length, name, folder);
        }
        piece = colon != nullptr ? colon + 1 : pieceEnd;
    }

    FolderIterator items(folder);
    FSRef refs[kItemsPerRequest];
    ItemCount count = 0;
    bool more = true;
    while (more)
    {
        more = items.next(refs, count);
        for (ItemCount index = 0; index < count; ++index)
        {
            const PresetFileKind kind = presetFileKind(refs[index]);
            if (kind.isBank)
            {
                convertVSTPreset(refs[index], true);
            }
            else if (kind.isProgram && !setup.presetIsFXB)
            {
                convertVSTPreset(refs[index], false);
            }
        }
    }
}

void TandemPresetStore::convertVSTPreset(const FSRef& file, bool isFXB)
{
    TANDEM_REQUIRE(isFXB || !setup.presetIsFXB);
    try
    {
        convertVSTPresetFile(file, isFXB);
    }
    catch (const std::exception& failure)
    {
        tandemTrace("Failed converting preset, caught exception: %s\n", failure.what());
    }
    catch (...)
    {
        tandemTrace("Failed converting preset (caught general exception)\n");
    }
}

void TandemPresetStore::convertVSTPresetFile(const FSRef& file, bool isFXB)
{
    HFSUniStr255 fileName;
    FSRef parent;
    check(FSGetCatalogInfo(&file, kFSCatInfoNone, nullptr, &fileName, nullptr, &parent));
    UniCharCount extensionStart = kLSInvalidExtensionIndex;
    check(static_cast<OSErr>(LSGetExtensionInfo(fileName.length, fileName.unicode, &extensionStart)));
    const bool hasExtension = extensionStart != kLSInvalidExtensionIndex;

    FSRef existing;
    if (isFXB && !setup.presetIsFXB)
    {
        // The bank becomes a folder of program presets; an existing folder
        // means it was converted before. The folder takes its name only when
        // every preset in it is written.
        UnicodeName bankName{};
        bankName.length = hasExtension ? extensionStart - 1 : fileName.length;
        std::copy_n(fileName.unicode, bankName.length, bankName.units);
        if (findItem(parent, bankName, existing))
        {
            return;
        }
        PendingItem bankFolder(parent, bankName, PendingItem::Kind::folder);
        const std::vector<char> bank = loadFromFile(file);
        vst->loadFXPOrFXB(bank.size(), bytesOf(bank));
        convertLoadedPrograms(bankFolder.item(), false, nullptr);
        bankFolder.placeIfAbsent();
        return;
    }

    UnicodeName presetFile{};
    UniCharCount presetNameLength = 0;
    if (!hasExtension || extensionStart > kLastExtensionStart)
    {
        presetNameLength = std::min<UniCharCount>(fileName.length, kMaxPresetNameLength);
    }
    else
    {
        presetNameLength = extensionStart - 1;
    }
    std::copy_n(fileName.unicode, presetNameLength, presetFile.units);
    presetFile.units[presetNameLength] = '.';
    std::copy(std::begin(kPresetExtension), std::end(kPresetExtension), presetFile.units + presetNameLength + 1);
    presetFile.length = presetNameLength + 1 + std::size(kPresetExtension);
    if (findItem(parent, presetFile, existing))
    {
        return;
    }
    const std::vector<char> vstData = loadFromFile(file);
    CFHandle<CFStringRef> presetName(
        CFStringCreateWithCharacters(kCFAllocatorDefault, fileName.unicode, static_cast<CFIndex>(presetNameLength)));
    CFHandle<CFMutableDictionaryRef> preset(
        createAUPresetWithVSTData(vstData.size(), bytesOf(vstData), presetName.get()));
    PendingItem converted(parent, presetFile, PendingItem::Kind::file);
    saveProperties(preset.get(), converted.item());
    converted.placeIfAbsent();
}
