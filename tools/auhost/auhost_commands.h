#pragma once
// The commands of velmora-auhost. Each registers the bundle, works on its
// components, prints to standard output and throws with a one-line reason
// (AUHostError carrying the unit's status, or std::runtime_error).

#include "common/parameter_setting.h"

#include <AudioUnit/AudioUnit.h>

#include <string>
#include <vector>

struct RenderOptions
{
    UInt32 sliceFrames = 512;
    bool chain = false;                               // two instances, the second pulling from the first
    std::vector<tools::ParameterSetting> parameters;  // values in each parameter's own range
};

void listBundle(const std::string& bundlePath);
void renderFile(const std::string& bundlePath, const std::string& inputPath, const std::string& outputPath,
                const RenderOptions& options);
void idleBundle(const std::string& bundlePath, double seconds);
// Opens the effect's Cocoa view in a window on $DISPLAY for `seconds`.
void viewBundle(const std::string& bundlePath, double seconds);

// The component the render, idle and view commands use: the bundle's first effect,
// else its first component.
Component mainComponent(const std::string& bundlePath);
