#include "effect/velmora_parameters.h"

#include <cstdio>

namespace velmora
{
const ParameterInfo* findParameter(std::int32_t index)
{
    if (index < 0 || index >= kNumParams)
        return nullptr;
    return &kParameters[static_cast<std::size_t>(index)];
}

void formatParameterDisplay(const ParameterInfo& parameter, float value, char* text)
{
    switch (parameter.display)
    {
    case DisplayRule::onOff: std::snprintf(text, kParameterTextBytes, "%s", value != 0.0f ? "on" : "off"); break;
    case DisplayRule::percent:
        std::snprintf(text, kParameterTextBytes, "%.2f", static_cast<double>(value * 100.0f));
        break;
    }
}
}  // namespace velmora
