// Reading "TDParameters.txt" into the Audio Unit's parameter list, infos and
// choice names, and releasing what the mapping owns.

#include "tandem/parameter_mapping.h"

#include "tandem/cf_handle.h"
#include "tandem/file_reading.h"
#include "tandem/pending_item.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"
#include "tandem/vst_plugin.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace
{
constexpr AudioUnitParameterOptions kMappedFlags = kAudioUnitParameterFlag_IsReadable |
                                                   kAudioUnitParameterFlag_IsWritable |
                                                   kAudioUnitParameterFlag_HasCFNameString;

// The seven fields of a mapping line, sized for the scan pattern's widths.
struct MappingLine
{
    char number[33];
    char name[256];
    float minValue;
    float maxValue;
    char display[1024];
    char unit[256];
    float defaultValue;
};

bool scanMappingLine(const char* text, MappingLine& line)
{
    return std::sscanf(text, "%32s%*[\t]%255[^\t]%*[\t]%f%*[\t]%f%*[\t]%1023[^\t]%*[\t]%255[^\t]%*[\t]%f", line.number,
                       line.name, &line.minValue, &line.maxValue, line.display, line.unit, &line.defaultValue) == 7;
}

const char* skipSpaces(const char* text)
{
    while (*text == ' ')
    {
        ++text;
    }
    return text;
}

bool isMapped(const AudioUnitParameterInfo& info) { return info.flags != 0; }

void releaseObjects(AudioUnitParameterInfo& info, CFArrayRef& choices)
{
    releaseCF(info.unitName);
    releaseCF(info.cfNameString);
    releaseCF(choices);
}

void releaseObjects(ParameterMapping& mapping)
{
    for (std::size_t index = 0; index < mapping.parameterInfos.size(); ++index)
    {
        releaseObjects(mapping.parameterInfos[index], mapping.parameterValueStrings[index]);
    }
}

CFStringRef createMacRomanString(const char* text)
{
    return CFStringCreateWithCString(nullptr, text, kCFStringEncodingMacRoman);
}

// One line's info and choice names, released unless the mapping takes them.
struct BuiltParameter
{
    AudioUnitParameterInfo info{};
    CFArrayRef choicesArray = nullptr;

    BuiltParameter() = default;
    BuiltParameter(const BuiltParameter&) = delete;
    BuiltParameter& operator=(const BuiltParameter&) = delete;
    ~BuiltParameter() { releaseObjects(info, choicesArray); }
};

// The choice names between the vertical bars, empty ones included.
CFArrayRef createChoices(const char* display)
{
    CFMutableArrayRef choicesArray = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
    TANDEM_REQUIRE(choicesArray != 0);
    char choice[sizeof(MappingLine::display)];
    for (const char* start = display;;)
    {
        const char* bar = std::strchr(start, '|');
        const std::size_t length = bar != nullptr ? static_cast<std::size_t>(bar - start) : std::strlen(start);
        std::memcpy(choice, start, length);
        choice[length] = '\0';
        const CFHandle<CFStringRef> choicesString(createMacRomanString(choice));
        TANDEM_REQUIRE(choicesString);
        CFArrayAppendValue(choicesArray, choicesString.get());
        if (bar == nullptr)
        {
            return choicesArray;
        }
        start = bar + 1;
    }
}

// Applies the display style. A 'b' or list line whose bounds do not fit its
// style is reported and then skipped: mapped with other bounds it would show
// the host values the effect never meant.
bool applyDisplayStyle(const MappingLine& line, const char* display, BuiltParameter& parameter)
{
    AudioUnitParameterInfo& info = parameter.info;
    if (std::strcmp(display, "=") == 0)
    {
        return true;
    }
    if (std::strcmp(display, "?") == 0)
    {
        info.flags |= kAudioUnitParameterFlag_ValuesHaveStrings;
        return true;
    }
    bool fits = true;
    if (std::strcmp(display, "b") == 0)
    {
        info.unit = kAudioUnitParameterUnit_Boolean;
        if (line.minValue != 0.0f)
        {
            tandemTrace(
                "Error in TDParameters.txt: min parameter for 'b' display type is %f, must be 0 (parameter: %s)\n",
                line.minValue, line.name);
            fits = false;
        }
        if (line.maxValue != 1.0f)
        {
            tandemTrace(
                "Error in TDParameters.txt: max parameter for 'b' display type is %f, must be 1 (parameter: %s)\n",
                line.maxValue, line.name);
            fits = false;
        }
        return fits;
    }
    info.unit = kAudioUnitParameterUnit_Indexed;
    parameter.choicesArray = createChoices(display);
    if (line.minValue != 0.0f)
    {
        tandemTrace("Error in TDParameters.txt: min parameter for '|' display type is %f, must be 0 (parameter: %s)\n",
                    line.minValue, line.name);
        fits = false;
    }
    const float expectedMax = static_cast<float>(CFArrayGetCount(parameter.choicesArray) - 1);
    if (line.maxValue != expectedMax)
    {
        tandemTrace("Error in TDParameters.txt: max parameter for '|' display type is %f, should be %.0f (parameter: "
                    "%s)\n",
                    line.maxValue, expectedMax, line.name);
        fits = false;
    }
    return fits;
}

// Maps one non-comment line; a line that breaks a rule is skipped without a word.
void addMappingLine(ParameterMapping& mapping, const char* text, int vstParameterCount)
{
    MappingLine line;
    if (!scanMappingLine(text, line))
    {
        return;
    }
    bool isMeta = false;
    if (const std::size_t length = std::strlen(line.number); length > 0 && line.number[length - 1] == '+')
    {
        line.number[length - 1] = '\0';
        isMeta = true;
    }
    const long index = std::strtol(line.number, nullptr, 10);
    const char* display = skipSpaces(line.display);
    // A range whose span a float cannot hold (a bound beyond its range reads
    // as infinite) would scale every value to NaN.
    if (index < 0 || index >= vstParameterCount || !(line.minValue < line.maxValue) ||
        !std::isfinite(line.maxValue - line.minValue) ||
        !(line.minValue <= line.defaultValue && line.defaultValue <= line.maxValue) ||
        isMapped(mapping.parameterInfos[static_cast<std::size_t>(index)]) || *display == '\0')
    {
        return;
    }

    BuiltParameter parameter;
    AudioUnitParameterInfo& info = parameter.info;
    std::memcpy(info.name, line.name, strnlen(line.name, sizeof(info.name) - 1));
    info.unit = kAudioUnitParameterUnit_Generic;
    if (std::strcmp(line.unit, "-") != 0)
    {
        info.unitName = createMacRomanString(line.unit);
        TANDEM_REQUIRE(info.unitName != 0);
        info.unit = kAudioUnitParameterUnit_CustomUnit;
    }
    if (!applyDisplayStyle(line, display, parameter))
    {
        return;
    }
    info.cfNameString = createMacRomanString(line.name);
    TANDEM_REQUIRE(info.cfNameString != 0);
    info.clumpID = 0;
    info.minValue = line.minValue;
    info.maxValue = line.maxValue;
    info.defaultValue = line.defaultValue;
    info.flags |= kMappedFlags;
    if (isMeta)
    {
        info.flags |= kAudioUnitParameterFlag_IsGlobalMeta;
    }

    if (mapping.parameterList.size() >= static_cast<std::size_t>(kMaxMappedParameters))
    {
        throw TandemException("Too many mapped parameters");
    }
    mapping.parameterList.push_back(static_cast<AudioUnitParameterID>(index));
    mapping.parameterInfos[static_cast<std::size_t>(index)] = std::exchange(info, AudioUnitParameterInfo{});
    mapping.parameterValueStrings[static_cast<std::size_t>(index)] = std::exchange(parameter.choicesArray, nullptr);
}
}  // namespace

ParameterMapping::~ParameterMapping() { releaseObjects(*this); }

ParameterMapping::ParameterMapping(ParameterMapping&& other) noexcept
    : parameterList(std::exchange(other.parameterList, {})), parameterInfos(std::exchange(other.parameterInfos, {})),
      parameterValueStrings(std::exchange(other.parameterValueStrings, {}))
{}

ParameterMapping& ParameterMapping::operator=(ParameterMapping&& other) noexcept
{
    if (this != &other)
    {
        releaseObjects(*this);
        parameterList = std::exchange(other.parameterList, {});
        parameterInfos = std::exchange(other.parameterInfos, {});
        parameterValueStrings = std::exchange(other.parameterValueStrings, {});
    }
    return *this;
}

ParameterMapping readParameterMapping(const FSRef& file, int vstParameterCount)
{
    const std::vector<char> bytes = loadFromFile(file);
    return parseParameterMapping({bytes.data(), bytes.size()}, vstParameterCount);
}

ParameterMapping parseParameterMapping(std::string_view fileText, int vstParameterCount)
{
    TANDEM_REQUIRE(vstParameterCount >= 0);
    ParameterMapping mapping;
    mapping.parameterInfos.resize(static_cast<std::size_t>(vstParameterCount));
    mapping.parameterValueStrings.resize(static_cast<std::size_t>(vstParameterCount));

    const char* const end = fileText.data() + fileText.size();
    char text[kLineBufferSize];
    // Line 1 is the header, whatever it holds; an empty file ends here.
    const char* position = readLine(fileText.data(), end, text);
    while (position < end)
    {
        position = readLine(position, end, text);
        const char* content = skipSpaces(text);
        if (*content != '\0' && *content != ';')
        {
            addMappingLine(mapping, content, vstParameterCount);
        }
    }
    return mapping;
}

ParameterMapping readOrCreateParameterMapping(const FSRef& resourcesFolder, VSTPlugIn& vst, bool vstGotTandemExtensions)
{
    const UnicodeName name = fileNameFromMacRoman("TDParameters.txt");
    FSRef file;
    if (!findItem(resourcesFolder, name, file))
    {
        PendingItem written(resourcesFolder, name, PendingItem::Kind::file);
        createDefaultParameterMappingFile(written.item(), vst, vstGotTandemExtensions);
        written.replace(&file);
    }
    return readParameterMapping(file, vst.getParameterCount());
}
