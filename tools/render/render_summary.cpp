#include "render/render_summary.h"

#include "render/audio_file.h"

#include <cmath>
#include <filesystem>

namespace render
{
namespace
{
std::string decibels(double value)
{
    if (std::isnan(value))
        return "n/a (silence)";
    if (std::isinf(value))
        return value < 0 ? "-inf dB" : "+inf dB";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f dB", value);
    return text;
}

std::string widthLine(const WidthMeter& meter)
{
    const double before = meter.inputSideToMidDb();
    const double after = meter.outputSideToMidDb();
    std::string line = "side/mid energy " + decibels(before) + " before, " + decibels(after) + " after";
    if (std::isinf(before) && before < 0 && std::isfinite(after))
        return line + " (a mono input made stereo)";
    if (std::isfinite(before) && std::isfinite(after))
    {
        char change[64];
        std::snprintf(change, sizeof change, " (%.1f dB %s)", std::fabs(after - before),
                      after >= before ? "wider" : "narrower");
        line += change;
    }
    return line;
}
}  // namespace

void printSummary(const RenderSummary& summary, std::FILE* stream)
{
    const WidthMeter& meter = summary.meter;
    // The demo picks its own file names, so say exactly where they went.
    if (summary.demo)
        std::fprintf(stream, "Rendered the built-in demo through %s.\n  Dry demo: %s\n  Result:   %s\n",
                     summary.effectName.c_str(), std::filesystem::absolute(summary.inputPath).c_str(),
                     std::filesystem::absolute(summary.outputPath).c_str());
    else
        std::fprintf(stream, "Rendered %s through %s.\n  Result:   %s\n", summary.inputPath.c_str(),
                     summary.effectName.c_str(), summary.outputPath.c_str());
    std::fprintf(stream, "  Settings: %s\n", summary.settings.c_str());
    std::fprintf(stream, "  Length:   %.3f s (%lld frames) at %d Hz, %s\n",
                 static_cast<double>(summary.frames) / summary.sampleRate, static_cast<long long>(summary.frames),
                 summary.sampleRate, describeFormat(summary.format).c_str());
    const double peakDb = amplitudeToDb(meter.outputPeak());
    const std::string peak = std::isinf(peakDb) ? "silent" : decibels(peakDb) + "FS";
    std::fprintf(stream, "  Peak:     %s\n", peak.c_str());
    if (meter.outputPeak() > 1.0 && isIntegerFormat(summary.format))
        std::fprintf(stream, "  Warning:  the output goes above full scale; the file clips it there\n");
    std::fprintf(stream, "  Width:    %s\n", widthLine(meter).c_str());
    std::fprintf(stream, "  Mono sum: %s (max |(L+R)out - (L+R)in| = %.2g)\n",
                 meter.maxMonoSumChange() <= kMonoSumTolerance ? "unchanged" : "CHANGED", meter.maxMonoSumChange());
}
}  // namespace render
