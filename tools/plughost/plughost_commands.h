#pragma once
// The commands of velmora-plughost. Each works on an open effect, prints to
// standard output and throws (TandemException or std::runtime_error) with a
// one-line reason on failure.

#include "plughost/plug_host.h"
#include "tandem/vst_plugin.h"

#include <string>

void listPlugIn(VSTPlugIn& plugIn);
void saveProgram(VSTPlugIn& plugIn, const std::string& path);
void saveBank(VSTPlugIn& plugIn, const std::string& path);
// Loads without listing: the caller lists once its settings are applied.
void loadPresetFile(VSTPlugIn& plugIn, const std::string& path);
// The effect is opened at the input's sample rate by the caller.
void renderFile(VSTPlugIn& plugIn, PlugHost& host, const std::string& inputPath, const std::string& outputPath);
