// A short render through the built bundle compared with a reviewed snapshot,
// so that any change to what the effect sounds like is seen and decided on.
// After an intended change, run with VELMORA_UPDATE_GOLDEN=1 to print a fresh
// snapshot into the source tree, listen, review the diff and commit it.

#include "support/signals.h"
#include "support/velmora_bundle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace
{
constexpr double kSampleRate = 48000.0;
constexpr std::size_t kFrames = 96000;  // two seconds: all four lines and most of an LFO cycle
constexpr int kBlockFrames = 480;
constexpr std::size_t kSnapshotFrames = 4800;  // one energy figure per 0.1 s and channel

// Mean square of each channel over consecutive stretches of the output.
std::vector<double> renderEnergies()
{
    vsthost::HostSettings settings;
    settings.sampleRate = kSampleRate;
    settings.blockSize = kBlockFrames;
    auto effect = testsupport::openVelmora(settings);
    if (!effect)
        return {};
    effect->dispatch(effSetProgram, 0, 3);
    effect->setParameter(1, 0.3f);
    effect->setParameter(2, 0.8f);

    // A centred chord with a little off-centre noise, the material a widener meets.
    std::vector<float> left = testsupport::sine(kFrames, 220.0, kSampleRate, 0.3f);
    const std::vector<float> fifth = testsupport::sine(kFrames, 330.0, kSampleRate, 0.2f);
    const std::vector<float> air = testsupport::noise(kFrames, 7, 0.05f);
    for (std::size_t n = 0; n < kFrames; ++n)
        left[n] += fifth[n];
    std::vector<float> right = left;
    for (std::size_t n = 0; n < kFrames; ++n)
        left[n] += air[n];
    const testsupport::StereoBuffer buffer = testsupport::renderInBlocks(
        {std::move(left), std::move(right)}, {kBlockFrames},
        [&](float** in, float** out, int frames) { effect->processReplacing(in, out, frames); }, true);

    std::vector<double> energies;
    for (std::size_t start = 0; start < kFrames; start += kSnapshotFrames)
        for (const std::vector<float>* channel : {&buffer.left, &buffer.right})
        {
            double sum = 0.0;
            for (std::size_t n = start; n < start + kSnapshotFrames; ++n)
                sum += static_cast<double>((*channel)[n]) * (*channel)[n];
            energies.push_back(sum / kSnapshotFrames);
        }
    return energies;
}

std::vector<double> readSnapshot()
{
    std::vector<double> values;
    std::ifstream file(VELMORA_GOLDEN_FILE);
    for (double value = 0.0; file >> value;)
        values.push_back(value);
    return values;
}

void writeSnapshot(const std::vector<double>& energies)
{
    std::FILE* file = std::fopen(VELMORA_GOLDEN_FILE, "w");
    ASSERT_NE(file, nullptr) << VELMORA_GOLDEN_FILE;
    for (std::size_t index = 0; index < energies.size(); index += 2)
        std::fprintf(file, "%.9e %.9e\n", energies[index], energies[index + 1]);
    std::fclose(file);
}

TEST(GoldenRender, ShortRenderMatchesTheReviewedSnapshot)
{
    const std::vector<double> energies = renderEnergies();
    ASSERT_FALSE(energies.empty());
    if (std::getenv("VELMORA_UPDATE_GOLDEN"))
    {
        writeSnapshot(energies);
        GTEST_SKIP() << "wrote a fresh snapshot to " << VELMORA_GOLDEN_FILE;
    }

    const std::vector<double> snapshot = readSnapshot();
    ASSERT_EQ(snapshot.size(), energies.size()) << "snapshot " << VELMORA_GOLDEN_FILE;
    for (std::size_t index = 0; index < energies.size(); ++index)
        EXPECT_NEAR(energies[index], snapshot[index], 1e-6 * snapshot[index])
            << (index % 2 ? "right" : "left") << " channel, 0.1 s stretch " << index / 2
            << ": the effect no longer sounds as reviewed";
}
}  // namespace
