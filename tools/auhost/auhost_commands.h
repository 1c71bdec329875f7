#pragma once
// The commands of velmora-auhost. Each registers the bundle, works on its
// components, prints to standard output and throws with a one-line reason
// (AUHostError carrying the unit's status, or std::runtime_error).

#include <AudioUnit/AudioUnit.h>

#include <stdexcept>
#include <string>
#include <vector>

// A command line the tool cannot act on; reported in one line, exit code 2.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct ParameterSetting
{
    AudioUnitParameterID id;
    AudioUnitParameterValue value;  // in the parameter's own range
};

struct RenderOptions
{
    UInt32 sliceFrames = 512;
    bool chain = false;  // two instances, the second pulling from the first
    std::vector<ParameterSetting> parameters;
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
