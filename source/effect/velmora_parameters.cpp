#include "effect/velmora_parameters.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <strings.h>

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

bool parseParameterDisplay(const ParameterInfo& parameter, const char* text, float& value)
{
    if (!text)
        return false;
    while (*text == ' ')
        ++text;
    if (parameter.display == DisplayRule::onOff)
    {
        const bool on = strncasecmp(text, "on", 2) == 0 && (text[2] == '\0' || text[2] == ' ');
        const bool off = strncasecmp(text, "off", 3) == 0 && (text[3] == '\0' || text[3] == ' ');
        if (on || off)
            value = on ? 1.0f : 0.0f;
        return on || off;
    }
    char* end = nullptr;
    const double number = std::strtod(text, &end);
    while (end != text && *end == ' ')
        ++end;
    const bool unitOnly = end != text && (*end == '\0' || std::string_view(end) == parameter.unit);
    if (!unitOnly || !std::isfinite(number))
        return false;
    value = static_cast<float>(number / 100.0);
    return true;
}
}  // namespace velmora
