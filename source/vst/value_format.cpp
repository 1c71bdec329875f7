#include "vst/value_format.h"

#include "vst/plugin_effect.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace vstformat
{
namespace
{
constexpr int kCharacterBudget = 8;
constexpr float kLowestFloat = -9999999.0f;
constexpr double kHighestFloat = 99999999.0;
constexpr VstInt32 kHighestInt = 100000000;
}  // namespace

void copyLimited(const char* source, char* text, VstInt32 maxLen)
{
    if (maxLen < 0)
        return;
    const std::size_t length = std::min(std::strlen(source), static_cast<std::size_t>(maxLen));
    std::memcpy(text, source, length);
    text[length] = '\0';
    text[maxLen] = '\0';
}

void formatFloat(float value, char* text, VstInt32 maxLen)
{
    if (!(value >= kLowestFloat && static_cast<double>(value) <= kHighestFloat))
    {
        copyLimited(kHugeText, text, maxLen);
        return;
    }
    const bool negative = value < 0.0f;
    const double magnitude = negative ? -static_cast<double>(value) : static_cast<double>(value);
    int budget = negative ? 3 : 2;  // sign, first digit and point

    std::string digits;  // least significant first
    double integer = std::floor(magnitude);
    digits += static_cast<char>('0' + static_cast<int>(std::fmod(integer, 10.0)));
    integer /= 10.0;
    while (integer >= 1.0)
    {
        digits += static_cast<char>('0' + static_cast<int>(std::fmod(integer, 10.0)));
        integer /= 10.0;
        ++budget;
    }

    std::string result = negative ? "-" : "";
    result.append(digits.rbegin(), digits.rend());
    result += '.';

    if (budget < kCharacterBudget)
    {
        const int decimalCount = kCharacterBudget - budget;
        double fraction = std::fmod(magnitude, 1.0) * std::pow(10.0, decimalCount);
        std::string decimals;  // least significant first
        for (int i = 0; i < decimalCount; ++i)
        {
            if (fraction <= 0.0)
            {
                decimals += '0';
                continue;
            }
            decimals += static_cast<char>('0' + static_cast<int>(std::fmod(fraction, 10.0)));
            fraction /= 10.0;
        }
        result.append(decimals.rbegin(), decimals.rend());
    }
    copyLimited(result.c_str(), text, maxLen);
}

void formatInt(VstInt32 value, char* text, VstInt32 maxLen)
{
    if (value >= kHighestInt)
    {
        copyLimited(kHugeText, text, maxLen);
        return;
    }
    char digits[16] = {};
    std::to_chars(digits, digits + sizeof(digits) - 1, value);
    copyLimited(digits, text, maxLen);
}
}  // namespace vstformat

void PluginEffect::dB2string(float value, char* text, VstInt32 maxLen)
{
    if (value <= 0.0f)
        vstformat::copyLimited(vstformat::kMinusInfinityText, text, maxLen);
    else
        float2string(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text, maxLen);
}

// A period in samples shown as the frequency it repeats at.
void PluginEffect::Hz2string(float samples, char* text, VstInt32 maxLen)
{
    float2string(samples == 0.0f ? 0.0f : getSampleRate() / samples, text, maxLen);
}

void PluginEffect::ms2string(float samples, char* text, VstInt32 maxLen)
{
    const double milliseconds = static_cast<double>(samples) * 1000.0 / static_cast<double>(getSampleRate());
    float2string(static_cast<float>(milliseconds), text, maxLen);
}

void PluginEffect::float2string(float value, char* text, VstInt32 maxLen)
{
    vstformat::formatFloat(value, text, maxLen);
}

void PluginEffect::int2string(VstInt32 value, char* text, VstInt32 maxLen)
{
    vstformat::formatInt(value, text, maxLen);
}
