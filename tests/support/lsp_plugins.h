#pragma once
// Debian's LSP plug-ins, which the host suites load as real third-party code.

namespace testsupport
{
// Exports the current "VSTPluginMain" entry and keeps its state in a chunk.
inline constexpr char kLspCompressor[] = "/usr/lib/vst/lsp-plugins/compressor-stereo.so";

// Every LSP plug-in is a thin module over one shared core, whose globals hold
// memory it never frees; once the core is unloaded that memory looks leaked.
// Keeping the core mapped for the rest of the process lets the leak checker of
// sanitizer builds still see those references, and still report ours.
void keepLspCoreMapped();
}  // namespace testsupport
