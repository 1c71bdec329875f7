#include "vst3_overhead.h"

#include "alternating_rounds.h"
#include "bench_support.h"
#include "vst3host/effect_instance.h"
#include "vst3host/process_caller.h"

#include <stdexcept>

namespace
{
class Vst3Path : public bench::TimedPath
{
public:
    explicit Vst3Path(unsigned frames) : buffers(frames)
    {
        std::string error;
        module = vst3host::Module::load(bench::vst3BundlePath(), error);
        effect = module ? vst3host::EffectInstance::create(*module, error) : nullptr;
        if (!effect)
            throw std::runtime_error(error);
        vst3::ProcessSetup setup{vst3::kRealtime, vst3::kSample32, static_cast<vst3::int32>(frames),
                                 bench::kSampleRate};
        if (effect->processor().setupProcessing(setup) != vst3::kResultOk ||
            effect->component().setActive(1) != vst3::kResultOk ||
            effect->processor().setProcessing(1) != vst3::kResultOk)
            throw std::runtime_error("the VST3 effect does not start");
        caller = std::make_unique<vst3host::ProcessCaller>(effect->processor(), setup);
    }

    ~Vst3Path() override
    {
        effect->processor().setProcessing(0);
        effect->component().setActive(0);
    }

    void slice(unsigned frames) override
    {
        float* inputs[] = {buffers.source[0].data(), buffers.source[1].data()};
        float* outputs[] = {buffers.destination[0].data(), buffers.destination[1].data()};
        caller->process(inputs, 2, outputs, 2, static_cast<vst3::int32>(frames));
    }

private:
    std::unique_ptr<vst3host::Module> module;
    std::unique_ptr<vst3host::EffectInstance> effect;
    std::unique_ptr<vst3host::ProcessCaller> caller;
    bench::HostBuffers buffers;
};

class VstPath : public bench::TimedPath
{
public:
    explicit VstPath(unsigned frames) : loaded(bench::openVstEffect(frames)), buffers(frames) {}

    void slice(unsigned frames) override
    {
        float* inputs[] = {buffers.source[0].data(), buffers.source[1].data()};
        float* outputs[] = {buffers.destination[0].data(), buffers.destination[1].data()};
        AEffect* record = loaded->effect();
        record->processReplacing(record, inputs, outputs, static_cast<VstInt32>(frames));
    }

private:
    std::unique_ptr<vsthost::LoadedEffect> loaded;
    bench::HostBuffers buffers;
};
}  // namespace

namespace bench
{
void reportVst3Overhead(std::ostream& out, int rounds)
{
    reportRatios(
        out, "VST3 face / VST 2 face",
        [](unsigned frames) {
            return PathPair{std::make_unique<Vst3Path>(frames), std::make_unique<VstPath>(frames)};
        },
        rounds);
}
}  // namespace bench
