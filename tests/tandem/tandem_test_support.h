#pragma once
// Opening the effects the tandem tests host, and FXP/FXB data as vectors.

#include "fake_effect_control.h"
#include "plughost/plug_host.h"
#include "tandem/vst_plugin.h"

#include <memory>
#include <string>
#include <vector>

inline constexpr float kTestSampleRate = 44100.0f;
inline constexpr int kTestBlockSize = 256;

// The fake effect as the tandem tests host it: eight programs of three
// described parameters and a chunk.
FakeEffectControl& resetTestEffect();
std::unique_ptr<VSTPlugIn> openForTest(const std::string& path, PlugHost& host);

std::vector<unsigned char> createFXP(VSTPlugIn& plugIn);
std::vector<unsigned char> createFXB(VSTPlugIn& plugIn);
bool load(VSTPlugIn& plugIn, const std::vector<unsigned char>& bytes);

// The message of the ExceptionType that `action` throws.
template <typename ExceptionType, typename Action>
std::string failureOf(Action action)
{
    try
    {
        action();
    }
    catch (const ExceptionType& failure)
    {
        return failure.what();
    }
    return "(no exception of the expected class)";
}

template <typename ExceptionType>
std::string loadFailure(VSTPlugIn& plugIn, const std::vector<unsigned char>& bytes)
{
    return failureOf<ExceptionType>([&] { load(plugIn, bytes); });
}

// Big-endian fields; resizeData keeps the byte size field in step.
int fieldAt(const std::vector<unsigned char>& bytes, std::size_t offset);
void setFieldAt(std::vector<unsigned char>& bytes, std::size_t offset, int value);
void resizeData(std::vector<unsigned char>& bytes, std::size_t size);
