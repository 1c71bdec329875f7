// Factory presets: "TDFactoryPresets.txt" and the ".aupreset" files it lists
// in the resources folder, written from the effect's own programs when the
// list is missing and loaded once per component.

#include "tandem/factory_preset_list.h"
#include "tandem/file_reading.h"
#include "tandem/pending_item.h"
#include "tandem/preset_files.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_preset_store.h"
#include "tandem/tandem_trace.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{
constexpr char kListFileName[] = "TDFactoryPresets.txt";
constexpr char kBankPresetLine[] = "FactoryPreset.aupreset\r";
constexpr char kPresetExtension[] = ".aupreset";
constexpr std::size_t kProgramNameSize = 25;  // 24 characters and the terminator

// Leading and trailing spaces removed, in place.
char* trimSpaces(char* text)
{
    while (*text == ' ')
    {
        ++text;
    }
    std::size_t length = std::strlen(text);
    while (length > 0 && text[length - 1] == ' ')
    {
        text[--length] = '\0';
    }
    return text;
}

CFStringRef createMacRomanString(const char* text)
{
    CFStringRef string = CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingMacRoman);
    TANDEM_REQUIRE(string != 0);
    return string;
}
}  // namespace

void TandemPresetStore::loadOrCreateFactoryPresets()
{
    const UnicodeName listName = fileNameFromMacRoman(kListFileName);
    FSRef listFile;
    if (!findItem(setup.resourcesFolder, listName, listFile))
    {
        // Listed only once every preset file is written, so that an open
        // that fails on the way writes them all again the next time.
        PendingItem list(setup.resourcesFolder, listName, PendingItem::Kind::file);
        createFactoryPresets(list.item());
        list.replace(&listFile);
    }
    loadFactoryPresets(listFile);
}

void TandemPresetStore::createFactoryPresets(const FSRef& listFile)
{
    DataFork list(listFile, fsWrPerm);
    if (setup.presetIsFXB)
    {
        CFHandle<CFMutableDictionaryRef> preset(createAUPresetOfCurrentBank(CFSTR("Default")));
        replaceWithProperties(setup.resourcesFolder, fileNameFromMacRoman("FactoryPreset.aupreset"), preset.get());
        list.write(kBankPresetLine, sizeof(kBankPresetLine) - 1);
    }
    else
    {
        convertLoadedPrograms(setup.resourcesFolder, true, &list);
    }
    list.close();
}

void TandemPresetStore::convertLoadedPrograms(const FSRef& folder, bool writeList, DataFork* listFork)
{
    TANDEM_REQUIRE(!setup.presetIsFXB);
    const int programCount = vst->getProgramCount();
    // An effect without programs has none to write, nor one to select again.
    if (programCount <= 0)
    {
        return;
    }
    const int oldProgramIndex = vst->getCurrentProgram();
    TANDEM_REQUIRE(oldProgramIndex >= 0);
    char lastName[kProgramNameSize] = {};
    for (int program = 0; program < programCount; ++program)
    {
        vst->setCurrentProgram(program);
        char programName[kProgramNameSize] = {};
        vst->getCurrentProgramName(programName);
        const char* name = trimSpaces(programName);
        // Programs left at one name, as banks often are, give one file.
        if (*name == '\0' || (program > 0 && std::strcmp(name, lastName) == 0))
        {
            continue;
        }
        std::strcpy(lastName, name);
        CFHandle<CFStringRef> nameRef(createMacRomanString(name));
        CFHandle<CFMutableDictionaryRef> preset(createAUPresetOfCurrentProgram(nameRef.get()));
        char fileName[kProgramNameSize + sizeof kPresetExtension + 1];
        std::snprintf(fileName, sizeof fileName, "%s%s", name, kPresetExtension);
        // A path cannot hold "/" in a name; the Mac shows it as ":" there too.
        std::replace(fileName, fileName + std::strlen(fileName), '/', ':');
        replaceWithProperties(folder, fileNameFromMacRoman(fileName), preset.get());
        if (writeList)
        {
            std::strcat(fileName, "\r");
            listFork->write(fileName, std::strlen(fileName));
        }
    }
    vst->setCurrentProgram(oldProgramIndex);
}

void TandemPresetStore::loadFactoryPresets(const FSRef& listFile)
{
    TANDEM_REQUIRE(factoryPresetsArray == 0);
    factoryPresetsArray = CFArrayCreateMutable(kCFAllocatorDefault, 0, nullptr);
    TANDEM_REQUIRE(factoryPresetsArray != 0);
    try
    {
        const std::vector<char> list = loadFromFile(listFile);
        int count = 0;
        for (const std::string& fileName : readFactoryPresetList({list.data(), list.size()}, kMaxFactoryPresets))
        {
            loadFactoryPreset(fileName.c_str(), count);
            ++count;
        }
    }
    catch (const std::exception& failure)
    {
        tandemTrace("Failed loading factory presets, caught exception: %s\n", failure.what());
    }
    catch (...)
    {
        tandemTrace("Failed loading factory presets (caught general exception)\n");
    }
}

void TandemPresetStore::loadFactoryPreset(const char* fileName, int number)
{
    // The list is read one byte per character; bytes above 127 as Mac Roman,
    // as the list is written.
    const UnicodeName unicodeName = fileNameFromMacRoman(fileName);
    FSRef presetFile;
    const OSErr status = FSMakeFSRefUnicode(&setup.resourcesFolder, unicodeName.length, unicodeName.units,
                                            kTextEncodingUnknown, &presetFile);
    if (status != noErr)
    {
        throw MacOSException(status);
    }
    const std::vector<char> bytes = loadFromFile(presetFile);
    CFHandle<CFDataRef> xml(CFDataCreate(kCFAllocatorDefault, bytesOf(bytes), static_cast<CFIndex>(bytes.size())));
    CFStringRef errorString = nullptr;
    CFHandle<CFPropertyListRef> propertyList(
        CFPropertyListCreateFromXMLData(kCFAllocatorDefault, xml.get(), kCFPropertyListImmutable, &errorString));
    CFHandle<CFStringRef> error(errorString);
    if (propertyList.get() == nullptr)
    {
        char errorText[200];
        if (error.get() != nullptr &&
            CFStringGetCString(error.get(), errorText, sizeof errorText, kCFStringEncodingUTF8))
        {
            char message[256];
            std::snprintf(message, sizeof message, "Could not create property list from XML data (%s)", errorText);
            throw TandemException(message);
        }
        throw TandemException("Could not create property list from XML data");
    }
    const CFDictionaryRef dictionary = presetDictionary(propertyList.get());
    const auto data = static_cast<CFDataRef>(presetValue(dictionary, CFSTR("vstdata"), CFDataGetTypeID()));
    const auto name = static_cast<CFStringRef>(presetValue(dictionary, CFSTR("name"), CFStringGetTypeID()));
    factoryPresets[number] = {number, static_cast<CFStringRef>(CFRetain(name))};
    factoryPresetData[number] = static_cast<CFDataRef>(CFRetain(data));
    CFArrayAppendValue(factoryPresetsArray, &factoryPresets[number]);
}

void TandemPresetStore::releaseFactoryPresets()
{
    for (int number = 0; number < kMaxFactoryPresets; ++number)
    {
        releaseCF(factoryPresets[number].presetName);
        releaseCF(factoryPresetData[number]);
    }
    releaseCF(factoryPresetsArray);
}
