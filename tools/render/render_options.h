#pragma once
// Command line of velmora-render.

#include "cli/common_options.h"

#include <optional>
#include <string>

namespace render
{
inline constexpr int kDefaultBlockSize = 512;
inline constexpr int kMaxBlockSize = 65536;
inline constexpr int kProgramCount = 8;

// Which of the bundle's two faces renders: the VST effect or the Audio Unit.
enum class Face
{
    vst,
    audioUnit
};

struct RenderOptions
{
    std::string inputPath;    // empty: render the built-in demo
    std::string outputPath;   // empty: the default name in the current folder
    std::string bundlePath;   // empty: the first found where cli::findBundle looks
    std::string presetPath;   // empty: none
    std::string picturePath;  // empty: none, except beside the demo's files
    std::optional<int> program;
    std::optional<float> size;
    std::optional<float> dryWet;
    std::optional<bool> on;
    int blockSize = kDefaultBlockSize;
    Face face = Face::vst;
    bool listPresets = false;
    bool floatOutput = false;  // 32-bit float samples in the container
    bool quiet = false;
    bool verbose = false;  // say which bundle renders
    cli::CommonOptions common;
};

// Fills options from argv; false with a one-line reason in error when an
// option or its value is not valid.
bool parseOptions(int argc, char** argv, RenderOptions& options, std::string& error);

const char* usageText();
}  // namespace render
