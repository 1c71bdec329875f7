#include "lv2/lv2_widener.h"

#include <lv2/urid/urid.h>

#include <algorithm>
#include <climits>
#include <string_view>

namespace velmora::lv2
{
namespace
{
const LV2_URID_Map* findUridMap(const LV2_Feature* const* features)
{
    for (; features && *features; ++features)
        if (std::string_view((*features)->URI) == LV2_URID__map)
            return static_cast<const LV2_URID_Map*>((*features)->data);
    return nullptr;
}
}  // namespace

Lv2Widener::Lv2Widener(double sampleRate, const LV2_Feature* const* features)
    : rate(static_cast<float>(sampleRate)), engine(preparedEngine(rate)), state(findUridMap(features))
{}

std::unique_ptr<WideningEngine> Lv2Widener::preparedEngine(float sampleRate)
{
    auto prepared = std::make_unique<WideningEngine>();
    prepared->prepare(sampleRate);
    return prepared;
}

void Lv2Widener::connect(std::uint32_t port, void* data) noexcept
{
    if (port < kNumParams)
        controls[port] = static_cast<const float*>(data);
    else if (port == kInLeft || port == kInRight)
        inputs[port - kInLeft] = static_cast<const float*>(data);
    else if (port == kOutLeft || port == kOutRight)
        outputs[port - kOutLeft] = static_cast<float*>(data);
}

void Lv2Widener::activate() noexcept
{
    try
    {
        engine = preparedEngine(rate);
    }
    catch (...)
    {
        // The engine made on instantiation still serves, only not from silence.
    }
}

float Lv2Widener::controlValue(ParameterIndex index) const noexcept
{
    const float* port = controls[static_cast<std::size_t>(index)];
    return port ? *port : kParameters[static_cast<std::size_t>(index)].defaultValue;
}

void Lv2Widener::run(std::uint32_t frames) noexcept
{
    // The VST face's rules: any value but zero switches on (NaN too), Size
    // and Dry/Wet pass as they are.
    const bool on = controlValue(kOnOff) != 0.0f;
    const float size = controlValue(kSize);
    const float dryWet = controlValue(kDryWet);
    VelmoraPrg& program = bank.currentProgram();
    program.onOff.store(on ? 1.0f : 0.0f, std::memory_order_relaxed);
    program.size.store(size, std::memory_order_relaxed);
    program.dryWet.store(dryWet, std::memory_order_relaxed);

    if (!inputs[0] || !inputs[1] || !outputs[0] || !outputs[1])
        return;
    engine->setValues(on, size, dryWet);
    for (std::uint32_t done = 0; done < frames;)
    {
        const int count = static_cast<int>(std::min<std::uint32_t>(frames - done, INT_MAX));
        engine->process(inputs[0] + done, inputs[1] + done, outputs[0] + done, outputs[1] + done, count);
        done += static_cast<std::uint32_t>(count);
    }
}

LV2_State_Status Lv2Widener::save(LV2_State_Store_Function store, LV2_State_Handle handle) const noexcept
{
    return state.save(bank, store, handle);
}

LV2_State_Status Lv2Widener::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) noexcept
{
    return state.restore(bank, retrieve, handle);
}
}  // namespace velmora::lv2
