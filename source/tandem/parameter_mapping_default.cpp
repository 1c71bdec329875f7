// The default "TDParameters.txt", written from what the effect reports about
// its parameters when the bundle has none.

#include "tandem/file_reading.h"
#include "tandem/parameter_mapping.h"
#include "tandem/tandem_trace.h"
#include "tandem/vst_plugin.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace
{
constexpr char kHeader[] = "vst param #\tname\tmin\tmax\tdisplay\tunit\tdefault\r";
constexpr char kLineFormat[] = "%d\t%s\t%g\t%g\t%c\t%s\t%g\r";
// How far the display at 0.5 may lie from the middle of the ends for a linear display.
constexpr float kLinearTolerance = 0.0001f;
constexpr std::size_t kTextSize = 25;  // 24 characters and the terminator

// Leading spaces dropped; nothing left becomes "-", so every field holds something.
const char* fieldText(const char* text)
{
    while (*text == ' ')
    {
        ++text;
    }
    return *text != '\0' ? text : "-";
}

// True when the whole text converts (leading white space allowed; empty is 0).
bool readDisplayNumber(const char* text, float& number)
{
    char* end = nullptr;
    number = std::strtof(text, &end);
    return *end == '\0';
}

// What the effect shows at the saved value and at 0, 0.5 and 1.
struct DisplayNumbers
{
    float atSaved = 0.0f;
    float atZero = 0.0f;
    float atHalf = 0.0f;
    float atOne = 0.0f;
    bool allNumbers = true;
};

DisplayNumbers sampleDisplay(VSTPlugIn& vst, int index, float savedValue)
{
    DisplayNumbers numbers;
    char text[kTextSize];
    vst.getParameterDisplay(index, text);
    numbers.allNumbers = readDisplayNumber(text, numbers.atSaved);
    for (auto [probe, number] : {std::pair{0.0f, &numbers.atZero}, {0.5f, &numbers.atHalf}, {1.0f, &numbers.atOne}})
    {
        vst.setParameter(index, probe);
        vst.getParameterDisplay(index, text);
        numbers.allNumbers = readDisplayNumber(text, *number) && numbers.allNumbers;
    }
    // An effect that reports a value outside 0..1 gets the nearest valid one back.
    vst.setParameter(index, std::fmin(std::fmax(savedValue, 0.0f), 1.0f));
    return numbers;
}

void writeParameterLine(DataFork& fork, VSTPlugIn& vst, int index, bool vstGotTandemExtensions)
{
    char name[kTextSize];
    char label[kTextSize];
    vst.getParameterName(index, name);
    vst.getParameterLabel(index, label);
    const float savedValue = vst.getParameter(index);
    const DisplayNumbers numbers = sampleDisplay(vst, index, savedValue);

    char line[256];
    int length = 0;
    if (numbers.allNumbers && std::fabs(numbers.atHalf - (numbers.atZero + numbers.atOne) / 2.0f) <= kLinearTolerance)
    {
        length = std::snprintf(line, sizeof(line), kLineFormat, index, fieldText(name), numbers.atZero, numbers.atOne,
                               '=', fieldText(label), numbers.atSaved);
    }
    else
    {
        length = std::snprintf(line, sizeof(line), kLineFormat, index, fieldText(name), 0.0, 1.0,
                               vstGotTandemExtensions ? '?' : '=', vstGotTandemExtensions ? fieldText(label) : "-",
                               savedValue);
    }
    TANDEM_REQUIRE(length > 0 && static_cast<std::size_t>(length) < sizeof(line));
    fork.write(line, static_cast<std::size_t>(length));
}
}  // namespace

void createDefaultParameterMappingFile(const FSRef& file, VSTPlugIn& vst, bool vstGotTandemExtensions)
{
    DataFork fork(file, fsWrPerm);
    fork.write(kHeader, sizeof(kHeader) - 1);
    const int parameterCount = vst.getParameterCount();
    for (int index = 0; index < parameterCount; ++index)
    {
        writeParameterLine(fork, vst, index, vstGotTandemExtensions);
    }
    fork.close();
}
