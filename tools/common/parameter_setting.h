#pragma once
// The value of "--set INDEX=VALUE", the option by which the host tools set a
// parameter before they run.

#include <string>
#include <string_view>

namespace tools
{
struct ParameterSetting
{
    int index;    // the parameter's index, or its Audio Unit ID, which is the same
    float value;  // normalised 0..1, or in the parameter's own range
};

// A whole index of 0 or more and a finite number; with `normalised`, the
// number lies in 0..1. `indexName` names the index in the message (INDEX,
// ID). Throws UsageError naming the text otherwise.
ParameterSetting parseParameterSetting(const std::string& text, std::string_view indexName, bool normalised);
}  // namespace tools
