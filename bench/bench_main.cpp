// velmora_bench: the console report, followed by the overhead of the Audio
// Unit face: for each slice size measured through both faces, the processor
// time per slice of audioUnitRender divided by that of processReplacing. With
// repetitions the medians are compared.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <ostream>
#include <string>
#include <unistd.h>

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
        const auto& direct = cpuTimes["processReplacing"];
        for (const auto& [frames, audioUnitTime] : cpuTimes["audioUnitRender"])
        {
            const auto found = direct.find(frames);
            if (found == direct.end() || found->second <= 0.0)
                continue;
            const double ratio = audioUnitTime / found->second;
            char line[128];
            std::snprintf(line, sizeof line, "Audio Unit / direct at %s frames: %.3f (%+.1f %%)\n", frames.c_str(),
                          ratio, (ratio - 1.0) * 100.0);
            GetOutputStream() << line;
        }
    }

private:
    // Function name -> arguments ("512") -> processor time per iteration.
    std::map<std::string, std::map<std::string, double>> cpuTimes;
};
}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    OverheadReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
