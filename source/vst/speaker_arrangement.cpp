#include "vst/plugin_effect_x.h"

#include <cstdlib>
#include <cstring>

namespace
{
constexpr std::size_t kArrangementHeaderBytes = offsetof(VstSpeakerArrangement, speakers);
constexpr std::size_t kSpeakerNameCharacters = sizeof(VstSpeakerProperties::name) - 1;
}  // namespace

bool PluginEffectX::allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 nbChannels)
{
    if (!arrangement)
        return false;
    deallocateArrangement(arrangement);
    if (nbChannels < 0)
        return false;
    const std::size_t byteSize = kArrangementHeaderBytes +
                                 sizeof(VstSpeakerProperties) * static_cast<std::size_t>(nbChannels);
    auto* record = static_cast<VstSpeakerArrangement*>(std::calloc(1, byteSize));
    if (!record)
        return false;
    record->numChannels = nbChannels;
    *arrangement = record;
    return true;
}

bool PluginEffectX::deallocateArrangement(VstSpeakerArrangement** arrangement)
{
    if (arrangement && *arrangement)
    {
        std::free(*arrangement);
        *arrangement = nullptr;
    }
    return true;
}

bool PluginEffectX::copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from)
{
    if (!to || !from)
        return false;
    const std::size_t nameLength = strnlen(from->name, kSpeakerNameCharacters);
    std::memcpy(to->name, from->name, nameLength);
    std::memset(to->name + nameLength, 0, sizeof(to->name) - nameLength);
    to->type = from->type;
    to->azimuth = from->azimuth;
    to->elevation = from->elevation;
    to->radius = from->radius;
    to->reserved = from->reserved;
    std::memcpy(to->future, from->future, sizeof(to->future));
    return true;
}

bool PluginEffectX::matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from)
{
    if (!from || !to)
        return false;
    if (*to == from)  // freeing *to would free the source as well
        return true;
    deallocateArrangement(to);
    if (!allocateArrangement(to, from->numChannels))
        return false;
    (*to)->type = from->type;
    for (VstInt32 channel = 0; channel < from->numChannels; ++channel)
        if (!copySpeaker(&(*to)->speakers[channel], &from->speakers[channel]))
            return false;
    return true;
}
