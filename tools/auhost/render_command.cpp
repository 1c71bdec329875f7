#include "auhost/audio_unit_instance.h"
#include "auhost/auhost_commands.h"
#include "auhost/host_transport.h"
#include "auhost/unit_renderer.h"
#include "common/command_line.h"
#include "common/file_processing.h"

#include <cstdio>
#include <memory>

using namespace auhost;

namespace
{
constexpr int kBlockFrames = 4096;
constexpr Float64 kTempo = 120.0;
}  // namespace

void renderFile(const std::string& bundlePath, const std::string& inputPath, const std::string& outputPath,
                const RenderOptions& options)
{
    std::string error;
    tools::AudioReader reader;
    tools::checked(reader.open(inputPath, error), error);
    const int channels = reader.channels();

    const Component component = mainComponent(bundlePath);
    std::vector<std::unique_ptr<AudioUnitInstance>> instances;
    std::vector<AudioUnitInstance*> chain;
    for (int count = options.chain ? 2 : 1; count > 0; --count)
    {
        instances.push_back(std::make_unique<AudioUnitInstance>(component));
        chain.push_back(instances.back().get());
        for (const tools::ParameterSetting& setting : options.parameters)
            chain.back()->setParameter(static_cast<AudioUnitParameterID>(setting.index), setting.value);
    }
    HostTransport transport(reader.sampleRate(), kTempo);
    UnitRenderer renderer(
        chain, {static_cast<UInt32>(channels), static_cast<Float64>(reader.sampleRate()), options.sliceFrames},
        &transport);

    tools::AudioWriter writer;
    tools::checked(writer.create(outputPath, reader.format(), channels, reader.sampleRate(), error), error);
    const std::int64_t frames = tools::processFile(reader, writer, channels, channels, kBlockFrames,
                                                   [&](float** input, float** output, int blockFrames) {
                                                       renderer.render(input, output, static_cast<UInt32>(blockFrames));
                                                   });
    for (AudioUnitInstance* unit : chain)
        unit->uninitialize();
    tools::checked(writer.commit(error), error);
    std::printf("rendered %lld frames at %d Hz through %zu instance%s in slices of %u into %s\n",
                static_cast<long long>(frames), reader.sampleRate(), chain.size(), chain.size() > 1 ? "s" : "",
                static_cast<unsigned>(options.sliceFrames), outputPath.c_str());
}
