#pragma once
// The effect as velmora-render drives it, through any of its faces: the VST
// effect loaded from the bundle's executable, the Audio Unit component opened
// through the Audio Unit host library, or the VST3 effect of Velmora.vst3
// loaded through the VST3 host library. All take the same settings and give
// the same samples.

#include "render/preset_file.h"
#include "render/render_options.h"

#include <memory>
#include <string>

namespace render
{
struct FaceSettings
{
    std::string bundlePath;
    int sampleRate = 0;
    int inputChannels = 0;  // of the file: 1 or 2
    int blockSize = 0;      // the largest block process() is given
    // Loaded before the program and settings of the options; may be null.
    const PresetFile* preset = nullptr;
};

class RenderFace
{
public:
    virtual ~RenderFace() = default;

    // Runs one block of at most the block size: two input pointers (the same
    // one twice for a mono file) and two outputs. False with a reason in
    // error.
    virtual bool process(float** inputs, float** outputs, int frames, std::string& error) = 0;
    // For the summary, once the file is rendered.
    virtual std::string effectName() = 0;
    virtual std::string describeSettings() = 0;
    // What --program selects: the VST and VST3 faces' programs, the Audio
    // Unit's factory presets; one line each, numbered from 0.
    virtual std::string listPresets() = 0;
};

// Opens the effect through the face options.face names and applies the
// preset, then the program and settings of options. Null with a one-line reason in error.
std::unique_ptr<RenderFace> openFace(const FaceSettings& settings, const RenderOptions& options, std::string& error);

std::unique_ptr<RenderFace> openVstFace(const FaceSettings& settings, const RenderOptions& options, std::string& error);
std::unique_ptr<RenderFace> openAudioUnitFace(const FaceSettings& settings, const RenderOptions& options,
                                              std::string& error);
// settings.bundlePath names a .vst3 bundle; a preset is refused.
std::unique_ptr<RenderFace> openVst3Face(const FaceSettings& settings, const RenderOptions& options,
                                         std::string& error);
}  // namespace render
