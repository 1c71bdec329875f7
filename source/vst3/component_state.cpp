#include "vst3/component_state.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace velmora::vst3face
{
namespace
{
constexpr char kMagic[4] = {'V', 'l', 'm', 'S'};
constexpr std::uint32_t kVersion = 1;

class Writer
{
public:
    explicit Writer(ComponentStateBytes& bytes) : at(bytes.data()) {}
    void word(std::uint32_t value)
    {
        for (int byte = 0; byte < 4; ++byte)
            *at++ = static_cast<unsigned char>(value >> (8 * byte));
    }
    void number(float value) { word(std::bit_cast<std::uint32_t>(value)); }
    void text(const char* field, std::size_t size)
    {
        std::memcpy(at, field, size);
        at += size;
    }

private:
    unsigned char* at;
};

class Reader
{
public:
    explicit Reader(const unsigned char* bytes) : at(bytes) {}
    std::uint32_t word()
    {
        std::uint32_t value = 0;
        for (int byte = 0; byte < 4; ++byte)
            value |= static_cast<std::uint32_t>(*at++) << (8 * byte);
        return value;
    }
    float number() { return std::bit_cast<float>(word()); }
    void text(char* field, std::size_t size)
    {
        std::memcpy(field, at, size);
        at += size;
    }

private:
    const unsigned char* at;
};

// 0 or 1 as written: a negative zero is no writer's.
bool isSwitch(float value)
{
    const auto bits = std::bit_cast<std::uint32_t>(value);
    return bits == std::bit_cast<std::uint32_t>(0.0f) || bits == std::bit_cast<std::uint32_t>(1.0f);
}

// Terminated, with nothing but zeros after the terminator.
bool isWrittenName(const char (&name)[ProgramName::kBytes])
{
    const void* terminator = std::memchr(name, '\0', sizeof name);
    if (!terminator)
        return false;
    for (const char* after = static_cast<const char*>(terminator); after < name + sizeof name; ++after)
        if (*after != '\0')
            return false;
    return true;
}

bool isWrittenProgram(const ComponentState::Program& program)
{
    return isSwitch(program.onOff) && std::isfinite(program.size) && std::isfinite(program.dryWet) &&
           isWrittenName(program.name);
}
}  // namespace

ComponentStateBytes encodeComponentState(const ComponentState& state) noexcept
{
    ComponentStateBytes bytes{};
    Writer writer(bytes);
    writer.text(kMagic, sizeof kMagic);
    writer.word(kVersion);
    writer.word(static_cast<std::uint32_t>(state.currentProgram));
    writer.number(state.bypass);
    for (const ComponentState::Program& program : state.programs)
    {
        writer.number(program.onOff);
        writer.number(program.size);
        writer.number(program.dryWet);
        writer.text(program.name, sizeof program.name);
    }
    return bytes;
}

bool decodeComponentState(const unsigned char* bytes, std::size_t size, ComponentState& state) noexcept
{
    if (!bytes || size < kComponentStateBytes || std::memcmp(bytes, kMagic, sizeof kMagic) != 0)
        return false;
    Reader reader(bytes + sizeof kMagic);
    if (reader.word() != kVersion)
        return false;
    ComponentState read;
    read.currentProgram = static_cast<std::int32_t>(reader.word());
    read.bypass = reader.number();
    for (ComponentState::Program& program : read.programs)
    {
        program.onOff = reader.number();
        program.size = reader.number();
        program.dryWet = reader.number();
        reader.text(program.name, sizeof program.name);
        if (!isWrittenProgram(program))
            return false;
    }
    if (read.currentProgram < 0 || read.currentProgram >= kNumPrograms || !isSwitch(read.bypass))
        return false;
    state = read;
    return true;
}

ComponentState stateOfBank(const ProgramBank& bank, float bypass) noexcept
{
    ComponentState state;
    state.currentProgram = bank.current.load(std::memory_order_relaxed);
    state.bypass = bypass;
    for (std::size_t slot = 0; slot < bank.programs.size(); ++slot)
    {
        const VelmoraPrg& from = bank.programs[slot];
        ComponentState::Program& to = state.programs[slot];
        to.onOff = from.onOff.load(std::memory_order_relaxed);
        to.size = from.size.load(std::memory_order_relaxed);
        to.dryWet = from.dryWet.load(std::memory_order_relaxed);
        from.name.get(to.name);
    }
    return state;
}

void loadBank(const ComponentState& state, ProgramBank& bank) noexcept
{
    for (std::size_t slot = 0; slot < bank.programs.size(); ++slot)
    {
        const ComponentState::Program& from = state.programs[slot];
        VelmoraPrg& to = bank.programs[slot];
        to.onOff.store(from.onOff, std::memory_order_relaxed);
        to.size.store(from.size, std::memory_order_relaxed);
        to.dryWet.store(from.dryWet, std::memory_order_relaxed);
        to.name.set(from.name);
    }
    bank.current.store(state.currentProgram, std::memory_order_relaxed);
}

bool readComponentState(vst3::IBStream* stream, ComponentState& state) noexcept
{
    ComponentStateBytes bytes{};
    std::size_t got = 0;
    // A stream may hand over less than asked at a time.
    while (stream && got < bytes.size())
    {
        vst3::int32 read = 0;
        const auto wanted = static_cast<vst3::int32>(bytes.size() - got);
        if (stream->read(bytes.data() + got, wanted, &read) != vst3::kResultOk || read <= 0 || read > wanted)
            return false;
        got += static_cast<std::size_t>(read);
    }
    return decodeComponentState(bytes.data(), got, state);
}

bool writeComponentState(vst3::IBStream* stream, const ComponentState& state) noexcept
{
    ComponentStateBytes bytes = encodeComponentState(state);
    vst3::int32 written = 0;
    return stream && stream->write(bytes.data(), static_cast<vst3::int32>(bytes.size()), &written) == vst3::kResultOk &&
           written == static_cast<vst3::int32>(bytes.size());
}
}  // namespace velmora::vst3face
