#pragma once
// Command line of velmora-render.

#include "common/command_line.h"

#include <optional>
#include <string>
#include <vector>

namespace render
{
inline constexpr int kDefaultBlockSize = 512;
inline constexpr int kMaxBlockSize = 65536;
inline constexpr int kProgramCount = 8;

// Which face renders: Velmora.vst's VST effect or Audio Unit, or
// Velmora.vst3's effect.
enum class Face
{
    vst,
    audioUnit,
    vst3,
};

struct RenderOptions
{
    std::string inputPath;    // empty: render the built-in demo
    std::string outputPath;   // empty: the default name in the current folder
    std::string bundlePath;   // empty: the first of the face's bundle found where tools::findBundle looks
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
};

// Teaches line the tool's options, which fill options as they are parsed;
// each throws tools::UsageError naming an invalid value.
void describeOptions(tools::CommandLine& line, RenderOptions& options);
// The one INPUT among the operands, if any.
void takeInput(const std::vector<std::string>& operands, RenderOptions& options);

const char* usageText();
}  // namespace render
