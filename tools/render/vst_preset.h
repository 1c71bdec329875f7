#pragma once
// FXP program and FXB bank data loaded into an effect through its dispatcher,
// as a Linux VST host loads the files a user saved: parameter records value by
// value, chunk records through effSetChunk.

#include "vsthost/loaded_effect.h"

#include <string>
#include <vector>

namespace render
{
// A program goes into the current program; a bank replaces every program and
// leaves the current one selected. False with the reason in error when the
// data is not a record of this effect or ends early; the effect may then be
// half loaded.
bool loadVstPreset(vsthost::LoadedEffect& effect, const std::vector<unsigned char>& data, std::string& error);
}  // namespace render
