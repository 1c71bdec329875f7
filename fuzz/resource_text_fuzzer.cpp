// Feeds arbitrary text to the readers of "TDParameters.txt" and
// "TDFactoryPresets.txt", the files users edit in the bundle, without a unit:
// the mapping for an effect of Velmora's three parameters and for one with
// more parameters than a mapping may hold, and the factory preset list.

#include "fuzz_stop.h"

#include "tandem/factory_preset_list.h"
#include "tandem/parameter_mapping.h"
#include "tandem/tandem_component.h"
#include "tandem/tandem_exceptions.h"

#include <cmath>
#include <cstdint>
#include <string_view>

namespace
{
constexpr int kVelmoraParameters = 3;

void readAsMapping(std::string_view text, int vstParameterCount)
{
    try
    {
        const ParameterMapping mapping = parseParameterMapping(text, vstParameterCount);
        for (const AudioUnitParameterID id : mapping.parameterList)
        {
            const AudioUnitParameterInfo& info = mapping.parameterInfos.at(id);
            // Whatever the host sets within the range reaches the effect as a number, and back.
            for (const float value : {info.minValue, info.defaultValue, info.maxValue})
            {
                if (!std::isfinite(scaleFromAUParameter(info, value)) ||
                    !std::isfinite(scaleToAUParameter(info, scaleFromAUParameter(info, value))))
                {
                    fuzzing::stop("resource text", "a mapped parameter's value does not scale to a number");
                }
            }
        }
    }
    catch (const TandemException&)
    {}
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    readAsMapping(text, kVelmoraParameters);
    readAsMapping(text, kMaxMappedParameters + 1);
    // Every list gives names, however broken: a name that names no file is
    // the unit's to refuse.
    readFactoryPresetList(text, kMaxFactoryPresets);
    return 0;
}
