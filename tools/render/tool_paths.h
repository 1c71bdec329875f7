#pragma once
// Where velmora-render finds the plug-in and puts its files by default.

#include <string>

namespace render
{
// The Velmora.vst bundle of the build tree this tool was built in (found from
// the tool's own location), or empty with a reason in error.
std::string defaultBundlePath(std::string& error);

// "<input name>-velmora.<extension>" in the current folder.
std::string defaultOutputPath(const std::string& inputPath);
inline constexpr char kDemoOutputName[] = "velmora-demo.wav";

// The dry demo beside the rendered one: velmora-demo.wav -> velmora-demo-dry.wav.
std::string dryDemoPath(const std::string& outputPath);
// The demo's picture beside it: velmora-demo.wav -> velmora-demo.png.
std::string demoPicturePath(const std::string& outputPath);
}  // namespace render
