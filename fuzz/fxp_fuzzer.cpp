// Arbitrary bytes as FXP/FXB data, read by the parser as Velmora takes them
// and as an effect that takes chunks does, a bank's programs walked to its
// end: every value the parser gives is in 0..1 and every program ends within
// the data (reads beyond it are the sanitizer's to find). The component's
// loader, which reads through the parser, meets such data inside whole units
// in component_resources_fuzzer.

#include "fuzz_stop.h"

#include "effect/velmora_identity.h"
#include "vst/fx_data.h"

#include <cstdint>

namespace
{
void checkProgram(const fx::Program& program, fx::Bytes record)
{
    if (program.size > record.size())
    {
        fuzzing::stop("program", "a program ends beyond the data it was read from");
    }
    for (std::size_t index = 0; index < program.valueCount(); ++index)
    {
        if (!(program.value(index) >= 0.0f && program.value(index) <= 1.0f))
        {
            fuzzing::stop("value", "a program value outside 0..1");
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fx::Bytes bytes(data, size);
    for (bool takesChunks : {false, true})
    {
        const fx::Receiver receiver{velmora::kUniqueId, velmora::kNumParams, takesChunks};
        fx::Data parsed;
        if (fx::read(bytes, receiver, parsed) != fx::Fault::none)
        {
            continue;
        }
        checkProgram(parsed.program, bytes);
        fx::Bytes programs = parsed.bank.programs;
        fx::Program program;
        for (int index = 0; index < parsed.bank.programCount &&
                            fx::readParameterProgram(programs, receiver, program) == fx::Fault::none;
             ++index)
        {
            checkProgram(program, programs);
            programs = programs.subspan(program.size);
        }
    }
    return 0;
}
