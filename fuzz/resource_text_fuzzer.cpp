// Feeds arbitrary text to the Audio Unit as "TDParameters.txt" and as
// "TDFactoryPresets.txt", the files users edit in the bundle: each in turn
// replaces the copy's own, and a unit opened on it must open or be refused
// with a status, and stay usable when it opens. The mapping reader also reads
// the text for an effect with more parameters than a mapping may hold.

#include "fuzzed_component.h"

#include "tandem/parameter_mapping.h"
#include "tandem/tandem_exceptions.h"

#include <cstdint>
#include <string_view>

namespace
{
constexpr char kMappingFile[] = "TDParameters.txt";
constexpr char kListFile[] = "TDFactoryPresets.txt";

fuzzing::FuzzedBundle& fuzzedBundle()
{
    static fuzzing::FuzzedBundle bundle;
    return bundle;
}

void readAsLargeMapping()
{
    const std::string path = (fuzzedBundle().resources() / kMappingFile).string();
    FSRef file;
    if (FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &file, nullptr) != noErr)
    {
        fuzzing::stop(kMappingFile, "the written file cannot be found");
    }
    try
    {
        readParameterMapping(file, kMaxMappedParameters + 1);
    }
    catch (const TandemException&)
    {}
}

void openWithMapping(std::string_view text)
{
    fuzzedBundle().writeResource(kMappingFile, text);
    // An empty file or too many mapped parameters refuse the unit.
    if (std::unique_ptr<fuzzing::RenderingUnit> unit = fuzzing::openUnit(fuzzedBundle().component()))
    {
        fuzzing::requireUsable(*unit);
    }
    readAsLargeMapping();
    fuzzedBundle().restoreResource(kMappingFile);
}

void openWithFactoryList(std::string_view text)
{
    fuzzedBundle().writeResource(kListFile, text);
    // A broken list ends the loading of factory presets, never the unit.
    std::unique_ptr<fuzzing::RenderingUnit> unit = fuzzing::openUnit(fuzzedBundle().component());
    if (!unit)
    {
        fuzzing::stop(kListFile, "the component does not open with the input as its factory preset list");
    }
    fuzzing::selectFactoryPresets(*unit);
    fuzzing::requireUsable(*unit);
    fuzzedBundle().restoreResource(kListFile);
}
}  // namespace

// The copy, and with it the component's module, before the first input, so
// that the fuzzer counts the module's coverage from the start.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzedBundle();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    openWithMapping(text);
    openWithFactoryList(text);
    return 0;
}
