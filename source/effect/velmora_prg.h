#pragma once
// One program: the three parameter values and a name of at most 23 characters.

#include "effect/velmora_parameters.h"

struct VelmoraPrg
{
    static constexpr int kNameBytes = 24;  // terminator included
    static constexpr char kInitialName[] = "Init";

    float onOff = velmora::kParameters[velmora::kOnOff].defaultValue;
    float size = velmora::kParameters[velmora::kSize].defaultValue;
    float dryWet = velmora::kParameters[velmora::kDryWet].defaultValue;
    char name[kNameBytes] = "Init";
};
