#include "common/parameter_setting.h"

#include "common/command_line.h"

#include <limits>
#include <optional>

namespace tools
{
ParameterSetting parseParameterSetting(const std::string& text, std::string_view indexName, bool normalised)
{
    const auto equals = text.find('=');
    if (equals == std::string::npos)
        throw UsageError("malformed --set '" + text + "': expected " + std::string(indexName) + "=VALUE");
    const std::string indexText = text.substr(0, equals);
    const std::optional<int> index = wholeNumber(indexText);
    if (!index || *index < 0)
        throw UsageError("invalid parameter index '" + indexText + "' in --set '" + text + "'");
    const std::string valueText = text.substr(equals + 1);
    const std::optional<double> value = finiteNumber(valueText);
    const double largest = normalised ? 1.0 : std::numeric_limits<float>::max();
    const double smallest = normalised ? 0.0 : -largest;
    if (!value || *value < smallest || *value > largest)
        throw UsageError("invalid value '" + valueText + "' in --set '" + text + "': expected a number" +
                         (normalised ? " from 0 to 1" : ""));
    return {*index, static_cast<float>(*value)};
}
}  // namespace tools
