#include "lv2/program_state.h"

#include "lv2/lv2_identity.h"

#include <lv2/atom/atom.h>

#include <cstring>

namespace velmora::lv2
{
namespace
{
constexpr std::uint32_t kPlainPortable = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;

LV2_URID mapKey(const LV2_URID_Map* map, const std::string& uri) { return map->map(map->handle, uri.c_str()); }
}  // namespace

ProgramState::ProgramState(const LV2_URID_Map* map)
{
    if (!map || !map->map)
        return;
    atomString = map->map(map->handle, LV2_ATOM__String);
    atomFloat = map->map(map->handle, LV2_ATOM__Float);
    atomInt = map->map(map->handle, LV2_ATOM__Int);
    currentKey = mapKey(map, currentProgramKey());
    for (int program = 0; program < kNumPrograms; ++program)
    {
        const auto slot = static_cast<std::size_t>(program);
        nameKeys[slot] = mapKey(map, programNameKey(program));
        for (const ParameterInfo& parameter : kParameters)
            valueKeys[slot][static_cast<std::size_t>(parameter.index)] = mapKey(map,
                                                                                programValueKey(program, parameter));
    }
    mapped = true;
}

LV2_State_Status ProgramState::save(const ProgramBank& bank, LV2_State_Store_Function store,
                                    LV2_State_Handle handle) const noexcept
{
    if (!mapped)
        return LV2_STATE_ERR_NO_FEATURE;
    const std::int32_t current = bank.current.load(std::memory_order_relaxed);
    LV2_State_Status status = store(handle, currentKey, &current, sizeof current, atomInt, kPlainPortable);
    for (std::size_t slot = 0; slot < bank.programs.size() && status == LV2_STATE_SUCCESS; ++slot)
    {
        const VelmoraPrg& program = bank.programs[slot];
        char name[ProgramName::kBytes];
        program.name.get(name);
        status = store(handle, nameKeys[slot], name, std::strlen(name) + 1, atomString, kPlainPortable);
        for (const ParameterInfo& parameter : kParameters)
        {
            if (status != LV2_STATE_SUCCESS)
                break;
            const float value = programValue(program, parameter.index).load(std::memory_order_relaxed);
            status = store(handle, valueKeys[slot][static_cast<std::size_t>(parameter.index)], &value, sizeof value,
                           atomFloat, kPlainPortable);
        }
    }
    return status;
}

LV2_State_Status ProgramState::restore(ProgramBank& bank, LV2_State_Retrieve_Function retrieve,
                                       LV2_State_Handle handle) const noexcept
{
    if (!mapped)
        return LV2_STATE_ERR_NO_FEATURE;
    struct Found
    {
        const void* value = nullptr;
        std::size_t size = 0;
    };
    // A key's value when the state holds it with the wanted type.
    const auto fetch = [&](LV2_URID key, LV2_URID wantedType) {
        Found found;
        std::uint32_t type = 0;
        std::uint32_t flags = 0;
        found.value = retrieve(handle, key, &found.size, &type, &flags);
        return type == wantedType ? found : Found{};
    };
    for (std::size_t slot = 0; slot < bank.programs.size(); ++slot)
    {
        VelmoraPrg& program = bank.programs[slot];
        // Names are cut to what the record holds, as the VST face cuts them.
        if (const Found name = fetch(nameKeys[slot], atomString); name.value)
            program.name.set(static_cast<const char*>(name.value), name.size);
        for (const ParameterInfo& parameter : kParameters)
            if (const Found value = fetch(valueKeys[slot][static_cast<std::size_t>(parameter.index)], atomFloat);
                value.value && value.size >= sizeof(float))
                programValue(program, parameter.index)
                    .store(*static_cast<const float*>(value.value), std::memory_order_relaxed);
    }
    if (const Found value = fetch(currentKey, atomInt); value.value && value.size >= sizeof(std::int32_t))
    {
        const std::int32_t current = *static_cast<const std::int32_t*>(value.value);
        if (current >= 0 && current < kNumPrograms)
            bank.current.store(current, std::memory_order_relaxed);
    }
    return LV2_STATE_SUCCESS;
}
}  // namespace velmora::lv2
