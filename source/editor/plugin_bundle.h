#pragma once
// Finding the bundle that holds the running plug-in code, and sharing it as
// the toolkit's image source (gui::gBundleRef) among all live editors.

#include <CoreFoundation/CoreFoundation.h>

#include <optional>
#include <string>

// The bundle folder for an executable path: the path cut three times at its
// last "/" (…/X.vst/Contents/<platform>/X.so → …/X.vst); none when a "/" is
// missing.
std::optional<std::string> bundlePathFromExecutable(const std::string& executablePath);

// A new reference to the bundle of the image holding this code, or null.
CFBundleRef GetPluginBundle();

// gui::gBundleRef stays valid from the first acquire until the matching last
// release, however many editors overlap; the bundle is released exactly once.
// A program that embeds the editor may set gui::gBundleRef before the first
// acquire to choose the bundle; that reference is then adopted. UI thread only.
void acquireSharedPluginBundle();
void releaseSharedPluginBundle();
