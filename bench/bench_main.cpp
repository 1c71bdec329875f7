// velmora_bench: the console report of processReplacing per block size, then
// the Audio Unit face's and the VST3 face's own costs measured in alternating
// rounds.
// --overhead_rounds=N sets the rounds per slice size (0 skips them); the other
// arguments go to the benchmark library (--benchmark_filter=- skips its cases).
#include "face_overhead.h"
#include "vst3_overhead.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <vector>

namespace
{
constexpr int kDefaultRounds = 1001;
constexpr char kRoundsFlag[] = "--overhead_rounds=";
}  // namespace

int main(int argc, char** argv)
{
    int rounds = kDefaultRounds;
    std::vector<char*> arguments;
    for (int index = 0; index < argc; ++index)
    {
        if (std::strncmp(argv[index], kRoundsFlag, sizeof kRoundsFlag - 1) == 0)
            rounds = std::atoi(argv[index] + sizeof kRoundsFlag - 1);
        else
            arguments.push_back(argv[index]);
    }
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data()))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (rounds > 0)
    {
        bench::reportFaceOverhead(std::cout, rounds);
        bench::reportVst3Overhead(std::cout, rounds);
    }
    return 0;
}
