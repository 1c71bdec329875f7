// What an instance costs: resident memory of 100 instances against none, for
// the engine's audio state alone at three rates and for whole effects loaded
// from the bundle; and the time from the plug-in entry (effOpen, rate, resume)
// to the first processed block, for the first instance in the process (cold)
// and for later ones while another is open (warm).
#include "effect/widening_engine.h"
#include "vsthost/loaded_effect.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int kInstances = 100;
constexpr int kBlockFrames = 512;

double residentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long long sizePages = 0;
    long long residentPages = 0;
    statm >> sizePages >> residentPages;
    return static_cast<double>(residentPages) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1024.0;
}

// Runs a measurement in a child process of its own, so that no memory freed
// by an earlier one is there to be reused.
template <class Measurement>
void inFreshProcess(Measurement measurement)
{
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0)
    {
        measurement();
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    if (child > 0)
        waitpid(child, &status, 0);
}

std::string bundlePath()
{
    const char* path = std::getenv("VELMORA_BUNDLE");
    return path ? path : VELMORA_DEFAULT_BUNDLE;
}

void engineMemory(float rate)
{
    const double before = residentKiB();
    std::vector<std::unique_ptr<velmora::WideningEngine>> engines;
    for (int n = 0; n < kInstances; ++n)
    {
        engines.push_back(std::make_unique<velmora::WideningEngine>());
        engines.back()->prepare(rate);
    }
    std::printf("  engine at %6.0f Hz: %7.1f KiB per instance (ring of %d samples)\n", rate,
                (residentKiB() - before) / kInstances, engines.back()->ringSize());
}

// Entry, effOpen, rate, block size, resume and one processed block.
std::unique_ptr<vsthost::LoadedEffect> openAndProcess(double& milliseconds)
{
    static std::vector<float> left(kBlockFrames, 0.25f), right(kBlockFrames, -0.125f);
    float* channels[] = {left.data(), right.data()};
    vsthost::HostSettings settings;
    settings.sampleRate = 48000.0;
    settings.blockSize = kBlockFrames;
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    auto loaded = vsthost::LoadedEffect::load(bundlePath(), error, settings);
    if (!loaded)
    {
        std::fprintf(stderr, "velmora_instance_bench: %s\n", error.c_str());
        std::exit(1);
    }
    loaded->openAndResume();
    loaded->processReplacing(channels, channels, kBlockFrames);
    milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return loaded;
}

// Every instance after the first, whose module load and image decoding all
// later ones share.
void effectMemory()
{
    double milliseconds = 0.0;
    auto first = openAndProcess(milliseconds);
    std::vector<std::unique_ptr<vsthost::LoadedEffect>> effects;
    const double before = residentKiB();
    for (int n = 0; n < kInstances; ++n)
        effects.push_back(openAndProcess(milliseconds));
    std::printf("  whole effect at 48000 Hz, editor included: %7.1f KiB per instance\n",
                (residentKiB() - before) / kInstances);
}
}  // namespace

int main()
{
    std::printf("Resident memory of %d instances against none:\n", kInstances);
    for (float rate : {44100.0f, 48000.0f, 192000.0f})
        inFreshProcess([rate] { engineMemory(rate); });
    inFreshProcess(effectMemory);

    double cold = 0.0;
    auto first = openAndProcess(cold);
    std::vector<double> warm;
    std::vector<std::unique_ptr<vsthost::LoadedEffect>> effects;
    for (int n = 0; n < kInstances; ++n)
    {
        double milliseconds = 0.0;
        effects.push_back(openAndProcess(milliseconds));
        warm.push_back(milliseconds);
    }

    std::sort(warm.begin(), warm.end());
    std::printf("\nPlug-in entry to first processed block of %d frames at 48000 Hz:\n", kBlockFrames);
    std::printf("  cold (first instance, module loaded, images decoded): %.3f ms\n", cold);
    std::printf("  warm (%d more while one is open): median %.3f ms, slowest %.3f ms\n", kInstances,
                warm[warm.size() / 2], warm.back());
    return 0;
}
