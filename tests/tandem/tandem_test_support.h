#pragma once
// Opening the effects the tandem tests host: the tests' own effect variants,
// the Velmora bundle and Debian's third-party plug-ins.

#include "plughost/plug_host.h"
#include "tandem/vst_plugin.h"
#include "test_effect_control.h"

#include <memory>
#include <string>
#include <vector>

inline constexpr float kTestSampleRate = 44100.0f;
inline constexpr int kTestBlockSize = 256;

// The control block of a test effect variant, reset to its defaults. The
// library stays loaded for the rest of the run, so the block outlives every
// VSTPlugIn that unloads it.
TestEffectControl& resetTestEffect(const char* path);

// The open effect at `path` (bundle folder or .so); fails the test on error.
std::unique_ptr<VSTPlugIn> openForTest(const std::string& path, PlugHost& host, float sampleRate = kTestSampleRate);

std::string velmoraBundlePath();

// The Debian plug-in's file, or empty when the package is not installed.
std::string installedPlugIn(const char* path);

// Created data as a vector, so a test cannot leak it.
std::vector<unsigned char> takeBytes(unsigned char* bytes, unsigned long size);
std::vector<unsigned char> createFXP(VSTPlugIn& plugIn);
std::vector<unsigned char> createFXB(VSTPlugIn& plugIn);
bool load(VSTPlugIn& plugIn, const std::vector<unsigned char>& bytes);

// Big-endian field of FXP/FXB data at a byte offset.
int fieldAt(const std::vector<unsigned char>& bytes, std::size_t offset);
void setFieldAt(std::vector<unsigned char>& bytes, std::size_t offset, int value);
