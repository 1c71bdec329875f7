#pragma once
// Where velmora-render puts its files by default.

#include <string>

namespace render
{
// "<input name>-velmora.<extension>" in the current folder.
std::string defaultOutputPath(const std::string& inputPath);
inline constexpr char kDemoOutputName[] = "velmora-demo.wav";

// The dry demo beside the rendered one: velmora-demo.wav -> velmora-demo-dry.wav.
std::string dryDemoPath(const std::string& outputPath);
// The demo's picture beside it: velmora-demo.wav -> velmora-demo.png.
std::string demoPicturePath(const std::string& outputPath);
}  // namespace render
