#include "auhost/audio_unit_instance.h"
#include "auhost/auhost_commands.h"
#include "auhost/host_transport.h"
#include "auhost/unit_renderer.h"
#include "render/audio_file.h"

#include <cstdio>
#include <memory>

using namespace auhost;

namespace
{
constexpr UInt32 kBlockFrames = 4096;
constexpr Float64 kTempo = 120.0;

// Planar channels of one block and the pointer tables the renderer takes.
struct PlanarBlock
{
    PlanarBlock(int channels, UInt32 frames)
        : samples(static_cast<size_t>(channels), std::vector<float>(frames)), pointers(samples.size())
    {
        for (size_t channel = 0; channel < samples.size(); ++channel)
            pointers[channel] = samples[channel].data();
    }
    std::vector<std::vector<float>> samples;
    std::vector<float*> pointers;
};

void checked(bool done, const std::string& error)
{
    if (!done)
        throw std::runtime_error(error);
}
}  // namespace

void renderFile(const std::string& bundlePath, const std::string& inputPath, const std::string& outputPath,
                const RenderOptions& options)
{
    std::string error;
    render::AudioReader reader;
    checked(reader.open(inputPath, error), error);
    const int channels = reader.channels();

    const Component component = mainComponent(bundlePath);
    std::vector<std::unique_ptr<AudioUnitInstance>> instances;
    std::vector<AudioUnitInstance*> chain;
    for (int count = options.chain ? 2 : 1; count > 0; --count)
    {
        instances.push_back(std::make_unique<AudioUnitInstance>(component));
        chain.push_back(instances.back().get());
        for (const ParameterSetting& setting : options.parameters)
            chain.back()->setParameter(setting.id, setting.value);
    }
    HostTransport transport(reader.sampleRate(), kTempo);
    UnitRenderer renderer(
        chain, {static_cast<UInt32>(channels), static_cast<Float64>(reader.sampleRate()), options.sliceFrames},
        &transport);

    render::AudioWriter writer;
    checked(writer.create(outputPath, reader.format(), channels, reader.sampleRate(), error), error);
    std::vector<float> interleaved(static_cast<size_t>(kBlockFrames) * static_cast<size_t>(channels));
    PlanarBlock input(channels, kBlockFrames);
    PlanarBlock output(channels, kBlockFrames);
    std::int64_t framesDone = 0;
    for (std::int64_t frames; (frames = reader.read(interleaved.data(), kBlockFrames)) > 0; framesDone += frames)
    {
        for (std::int64_t frame = 0; frame < frames; ++frame)
            for (int channel = 0; channel < channels; ++channel)
                input.samples[channel][frame] = interleaved[frame * channels + channel];
        renderer.render(input.pointers.data(), output.pointers.data(), static_cast<UInt32>(frames));
        for (std::int64_t frame = 0; frame < frames; ++frame)
            for (int channel = 0; channel < channels; ++channel)
                interleaved[frame * channels + channel] = output.samples[channel][frame];
        checked(writer.write(interleaved.data(), frames, error), error);
    }
    checked(reader.readError().empty(), "cannot read '" + inputPath + "': " + reader.readError());
    for (AudioUnitInstance* unit : chain)
        unit->uninitialize();
    checked(writer.commit(error), error);
    std::printf("rendered %lld frames at %d Hz through %zu instance%s in slices of %u into %s\n",
                static_cast<long long>(framesDone), reader.sampleRate(), chain.size(), chain.size() > 1 ? "s" : "",
                static_cast<unsigned>(options.sliceFrames), outputPath.c_str());
}
