#include "render/render_summary.h"

#include "common/audio_file.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <filesystem>

namespace render
{
namespace
{
void append(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));

void append(std::string& text, const char* format, ...)
{
    va_list arguments, copy;
    va_start(arguments, format);
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    const std::size_t start = text.size();
    text.resize(start + static_cast<std::size_t>(std::max(length, 0)) + 1);
    std::vsnprintf(text.data() + start, text.size() - start, format, arguments);
    va_end(arguments);
    text.pop_back();
}

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

// An integer file clips every sample above full scale: say how many, how far
// above the peak was, and what avoids it.
void appendLevels(const RenderSummary& summary, std::string& text)
{
    const WidthMeter& meter = summary.meter;
    const double peakDb = amplitudeToDb(meter.outputPeak());
    if (std::isinf(peakDb))
    {
        append(text, "  Peak:     silent\n");
        return;
    }
    const std::int64_t overs = meter.samplesAboveFullScale();
    if (overs == 0)
    {
        append(text, "  Peak:     %sFS\n", decibels(peakDb).c_str());
        return;
    }
    if (!tools::isIntegerFormat(summary.format))
    {
        append(text, "  Peak:     %+.1f dBFS, kept above full scale in the float file (%lld samples)\n", peakDb,
               static_cast<long long>(overs));
        return;
    }
    append(text, "  Peak:     %+.1f dBFS before clipping\n", peakDb);
    append(text, "  Clipped:  %lld of %lld samples went above full scale, by up to %.1f dB, and were cut off\n",
           static_cast<long long>(overs), static_cast<long long>(2 * summary.frames), peakDb);
    append(text, "            in the file: lower the input by %.1f dB or more, or render with --float\n",
           std::ceil(peakDb * 10.0) / 10.0);
}
}  // namespace

std::string summaryText(const RenderSummary& summary)
{
    std::string text;
    const WidthMeter& meter = summary.meter;
    // The demo picks its own file names, so say exactly where they went.
    if (summary.demo)
        append(text, "Rendered the built-in demo through %s.\n  Dry demo: %s\n  Result:   %s\n",
               summary.effectName.c_str(), std::filesystem::absolute(summary.inputPath).c_str(),
               std::filesystem::absolute(summary.outputPath).c_str());
    else
        append(text, "Rendered %s through %s.\n  Result:   %s\n", summary.inputPath.c_str(), summary.effectName.c_str(),
               summary.outputPath.c_str());
    append(text, "  Settings: %s\n", summary.settings.c_str());
    append(text, "  Length:   %.3f s (%lld frames) at %d Hz, %s\n",
           static_cast<double>(summary.frames) / summary.sampleRate, static_cast<long long>(summary.frames),
           summary.sampleRate, tools::describeFormat(summary.format).c_str());
    appendLevels(summary, text);
    append(text, "  Width:    %s\n", widthLine(meter).c_str());
    append(text, "  Mono sum: %s (max |(L+R)out - (L+R)in| = %.2g)\n",
           meter.maxMonoSumChange() <= kMonoSumTolerance ? "unchanged" : "CHANGED", meter.maxMonoSumChange());
    return text;
}

void printSummary(const RenderSummary& summary, std::FILE* stream) { std::fputs(summaryText(summary).c_str(), stream); }
}  // namespace render
