// velmora_bench: the console report, followed by the overhead of the Audio
// Unit face: for each slice size measured through both faces, the processor
// time per slice of audioUnitRender divided by that of processReplacing, and
// by that of processReplacingThroughCopies, which leaves the face's own cost.
// With repetitions the medians are compared.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <ostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
class OverheadReporter : public benchmark::ConsoleReporter
{
public:
    // Colours only on a terminal.
    OverheadReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
        {
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (!run.error_occurred && (single || run.aggregate_name == "median"))
                cpuTimes[run.run_name.function_name][run.run_name.args] = run.GetAdjustedCPUTime();
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        reportRatios("processReplacing", "");
        reportRatios("processReplacingThroughCopies", " (direct with the host's copies)");
    }

private:
    void reportRatios(const std::string& directName, const char* note)
    {
        const auto& direct = cpuTimes[directName];
        for (const auto& [frames, audioUnitTime] : cpuTimes["audioUnitRender"])
        {
            const auto found = direct.find(frames);
            if (found == direct.end() || found->second <= 0.0)
                continue;
            const double ratio = audioUnitTime / found->second;
            char line[160];
            std::snprintf(line, sizeof line, "Audio Unit / direct at %s frames%s: %.3f (%+.1f %%)\n", frames.c_str(),
                          note, ratio, (ratio - 1.0) * 100.0);
            GetOutputStream() << line;
        }
    }

    // Function name -> arguments ("512") -> processor time per iteration.
    std::map<std::string, std::map<std::string, double>> cpuTimes;
};
}  // namespace

int main(int argc, char** argv)
{
    // Repetitions of the faces take turns, so that a busy moment on a shared
    // machine weighs on both alike; a later argument may turn this off.
    std::vector<char*> arguments(argv, argv + argc);
    char interleaving[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleaving);
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data()))
        return 1;
    OverheadReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
