#include "alternating_rounds.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <vector>

namespace bench
{
namespace
{
// Frames per batch: long enough that reading the clock is noise, short enough
// that most batches run without being preempted.
constexpr unsigned kBatchFrames = 32768;
constexpr int kWarmUpRounds = 20;
constexpr int kPairs = 4;

// Processor time of this thread, so that time spent preempted is not counted.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double timeBatch(TimedPath& path, unsigned frames, int slices)
{
    const double start = threadSeconds();
    for (int index = 0; index < slices; ++index)
    {
        path.slice(frames);
        benchmark::ClobberMemory();
    }
    return threadSeconds() - start;
}

// The value below which `share` of the sorted values lie.
double quantile(const std::vector<double>& sorted, double share)
{
    return sorted[static_cast<size_t>(share * static_cast<double>(sorted.size() - 1) + 0.5)];
}

struct RoundTimes
{
    std::vector<double> ratios, measured, reference;  // per round; times per slice
};

// One pair's share of the rounds, after rounds that warm its caches.
void alternate(PathPair& pair, unsigned frames, int rounds, RoundTimes& times)
{
    const int slices = static_cast<int>(kBatchFrames / frames);
    for (int round = -kWarmUpRounds; round < rounds; ++round)
    {
        double measuredTime, referenceTime;
        if (round % 2 == 0)
        {
            measuredTime = timeBatch(*pair.measured, frames, slices);
            referenceTime = timeBatch(*pair.reference, frames, slices);
        }
        else
        {
            referenceTime = timeBatch(*pair.reference, frames, slices);
            measuredTime = timeBatch(*pair.measured, frames, slices);
        }
        if (round < 0 || referenceTime <= 0.0)
            continue;
        times.ratios.push_back(measuredTime / referenceTime);
        times.measured.push_back(measuredTime / slices);
        times.reference.push_back(referenceTime / slices);
    }
}

// The rounds are shared by several pairs of paths, all open at once: how the
// buffers of one pair fall on cache lines would otherwise weigh on a whole run.
RoundTimes alternate(const PairMaker& makePair, unsigned frames, int rounds)
{
    std::vector<PathPair> pairs;
    for (int pair = 0; pair < kPairs; ++pair)
        pairs.push_back(makePair(frames));
    RoundTimes times;
    for (int pair = 0; pair < kPairs; ++pair)
        alternate(pairs[static_cast<std::size_t>(pair)], frames, (rounds + pair) / kPairs, times);
    for (std::vector<double>* values : {&times.ratios, &times.measured, &times.reference})
        std::sort(values->begin(), values->end());
    return times;
}
}  // namespace

void reportRatios(std::ostream& out, const char* label, const PairMaker& makePair, int rounds)
{
    for (const unsigned frames : {64u, 512u})
    {
        char line[240];
        try
        {
            const RoundTimes times = alternate(makePair, frames, rounds);
            if (times.ratios.empty())
                continue;
            const double median = quantile(times.ratios, 0.5);
            std::snprintf(line, sizeof line,
                          "%s at %u frames: %.3f (%+.1f %%), quartiles %.3f .. %.3f over %zu rounds; per slice "
                          "%.0f ns / %.0f ns\n",
                          label, frames, median, (median - 1.0) * 100.0, quantile(times.ratios, 0.25),
                          quantile(times.ratios, 0.75), times.ratios.size(), quantile(times.measured, 0.5) * 1e9,
                          quantile(times.reference, 0.5) * 1e9);
        }
        catch (const std::exception& failure)
        {
            std::snprintf(line, sizeof line, "%s at %u frames: not measured: %s\n", label, frames, failure.what());
        }
        out << line;
    }
}
}  // namespace bench
