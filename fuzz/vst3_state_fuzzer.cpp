// Arbitrary bytes as a saved VST3 component state, handed to the processor
// and to the controller as a host hands a session's chunk on reload: both
// halves take it or both refuse it, a state taken reads back as the very bytes
// it was made of, and a state refused leaves the processor's as it was.

#include "fuzz_stop.h"

#include "vst3/abi/editing.h"
#include "vst3/plugin_factory.h"
#include "vst3/vst3_identity.h"
#include "vst3host/memory_stream.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;

struct Halves
{
    vst3::IComponent* processor = nullptr;
    vst3::IEditController* controller = nullptr;
};

// One pair for the whole run, as a host keeps an instance across reloads.
Halves makeHalves()
{
    Halves halves;
    vst3::IPluginFactory3* factory = velmora::vst3face::PluginFactory::acquire();
    if (!factory ||
        factory->createInstance(velmora::vst3face::kProcessorClassId.data(), vst3::IComponent::iid.data(),
                                reinterpret_cast<void**>(&halves.processor)) != vst3::kResultOk ||
        factory->createInstance(velmora::vst3face::kControllerClassId.data(), vst3::IEditController::iid.data(),
                                reinterpret_cast<void**>(&halves.controller)) != vst3::kResultOk)
        fuzzing::stop("factory", "the factory made no processor or controller");
    halves.processor->initialize(nullptr);
    halves.controller->initialize(nullptr);
    return halves;
}

Bytes savedState(vst3::IComponent& processor)
{
    const auto stream = vst3host::makeHostObject<vst3host::MemoryStream>();
    if (processor.getState(stream.get()) != vst3::kResultOk)
        fuzzing::stop("getState", "the processor could not save its state");
    return stream->bytes();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const Halves halves = makeHalves();
    const Bytes given(data, data + size);
    const Bytes before = savedState(*halves.processor);

    const bool taken = halves.processor->setState(vst3host::makeHostObject<vst3host::MemoryStream>(given).get()) ==
                       vst3::kResultOk;
    const bool shown = halves.controller->setComponentState(
                           vst3host::makeHostObject<vst3host::MemoryStream>(given).get()) == vst3::kResultOk;
    if (taken != shown)
        fuzzing::stop("halves", "the processor and the controller disagree on a state");

    const Bytes after = savedState(*halves.processor);
    if (taken && !(after.size() <= given.size() && std::equal(after.begin(), after.end(), given.begin())))
        fuzzing::stop("round trip", "a state taken does not read back as its own bytes");
    if (!taken && after != before)
        fuzzing::stop("refused", "a refused state changed what the processor had");
    return 0;
}
