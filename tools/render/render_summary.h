#pragma once
// The report printed after a render.

#include "render/stereo_analysis.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace render
{
// Largest mono-sum change still reported as unchanged: float rounding of the
// width signal added to one channel and taken from the other (-100 dBFS).
inline constexpr double kMonoSumTolerance = 1e-5;

struct RenderSummary
{
    std::string inputPath;
    std::string outputPath;
    bool demo = false;  // inputPath is then the dry demo the tool wrote
    std::string effectName;
    std::string settings;
    std::int64_t frames = 0;
    int sampleRate = 0;
    int format = 0;
    WidthMeter meter;
};

// The report, one figure a line.
std::string summaryText(const RenderSummary& summary);
void printSummary(const RenderSummary& summary, std::FILE* stream);
}  // namespace render
