#pragma once
// Opening the effects the tandem tests host, and FXP/FXB data as vectors.

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
std::unique_ptr<VSTPlugIn> openForTest(const std::string& path, PlugHost& host);

// The built bundle, from VELMORA_BUNDLE.
std::string velmoraBundlePath();

std::vector<unsigned char> createFXP(VSTPlugIn& plugIn);
std::vector<unsigned char> createFXB(VSTPlugIn& plugIn);
bool load(VSTPlugIn& plugIn, const std::vector<unsigned char>& bytes);

// The message of the exception of the given class that loading throws.
template <typename ExceptionType>
std::string loadFailure(VSTPlugIn& plugIn, const std::vector<unsigned char>& bytes)
{
    try
    {
        load(plugIn, bytes);
    }
    catch (const ExceptionType& failure)
    {
        return failure.what();
    }
    return "(no exception of the expected class)";
}

// Big-endian field of FXP/FXB data at a byte offset.
int fieldAt(const std::vector<unsigned char>& bytes, std::size_t offset);
void setFieldAt(std::vector<unsigned char>& bytes, std::size_t offset, int value);
// Shortens or lengthens the data and makes its byte size field agree.
void resizeData(std::vector<unsigned char>& bytes, std::size_t size);
