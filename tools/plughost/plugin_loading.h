#pragma once
// Opening an effect from a path the user gives: a bundle folder or a plain
// Linux plug-in .so.

#include "tandem/vst_plugin.h"

#include <memory>

// Loads, opens and hands the rates to the effect. Throws TandemException
// with a one-line reason when the path holds no loadable effect.
std::unique_ptr<VSTPlugIn> openPlugIn(const char* path, VSTHost& host, float sampleRate, int blockSize);
