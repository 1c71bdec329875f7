// The formats a unit opens with, the channel configurations it announces
// (each accepted, others refused) and a mono render when it offers one.

#include "auval/auval_checks.h"
#include "auval/sliced_render.h"
#include "auval/unit_status.h"

#include "auhost/au_error.h"

#include <algorithm>

namespace auval
{
namespace
{
void expectCanonical(const AudioStreamBasicDescription& format, const std::string& bus)
{
    expect(format.mFormatID == kAudioFormatLinearPCM, bus + " is not linear PCM");
    expect((format.mFormatFlags & kAudioFormatFlagIsFloat) && (format.mFormatFlags & kAudioFormatFlagIsNonInterleaved),
           bus + " is not non-interleaved float (flags " + std::to_string(format.mFormatFlags) + ")");
    expect(format.mBitsPerChannel == 32 && format.mBytesPerFrame == 4 && format.mBytesPerPacket == 4 &&
               format.mFramesPerPacket == 1,
           bus + " is not 32 bits in 4-byte frames of one packet");
    expect(format.mChannelsPerFrame > 0, bus + " has no channel");
    expect(format.mSampleRate > 0.0, bus + " has no sample rate");
}

std::string checkDefaultFormats(const auhost::AudioUnitInstance& unit)
{
    const UInt32 inputs = unit.elementCount(kAudioUnitScope_Input);
    expect(unit.elementCount(kAudioUnitScope_Output) > 0, "no output bus");
    const AudioStreamBasicDescription output = unit.streamFormat(kAudioUnitScope_Output, 0);
    expectCanonical(output, "output 0");
    std::string detail = std::to_string(static_cast<int>(output.mSampleRate)) + " Hz, 32-bit float, ";
    if (inputs > 0)
    {
        const AudioStreamBasicDescription input = unit.streamFormat(kAudioUnitScope_Input, 0);
        expectCanonical(input, "input 0");
        expect(input.mSampleRate == output.mSampleRate, "input and output rates differ");
        detail += std::to_string(input.mChannelsPerFrame) + " in, ";
    }
    const auto rate = unit.property<Float64>(kAudioUnitProperty_SampleRate, kAudioUnitScope_Output, 0);
    expect(rate == output.mSampleRate, "SampleRate differs from the format's rate");
    const auto slice = unit.property<UInt32>(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0);
    expect(slice > 0, "a maximum of 0 frames per slice");
    return detail + std::to_string(output.mChannelsPerFrame) + " out, slices up to " + std::to_string(slice);
}

OSStatus trySetFormat(auhost::AudioUnitInstance& unit, AudioUnitScope scope, UInt32 channels, bool isFloat = true)
{
    try
    {
        AudioStreamBasicDescription format = unit.streamFormat(scope, 0);
        format.mChannelsPerFrame = channels;
        if (!isFloat)
            format.mFormatFlags = kAudioFormatFlagIsSignedInteger | kAudioFormatFlagIsPacked |
                                  kAudioFormatFlagIsNonInterleaved;
        unit.setProperty(kAudioUnitProperty_StreamFormat, scope, 0, format);
        return noErr;
    }
    catch (const auhost::AUHostError& failure)
    {
        return failure.status();
    }
}

bool announced(const std::vector<AUChannelInfo>& configurations, UInt32 channels)
{
    return std::any_of(configurations.begin(), configurations.end(), [&](const AUChannelInfo& configuration) {
        return configuration.outChannels < 0 || static_cast<UInt32>(configuration.outChannels) == channels;
    });
}

// Negative counts in a configuration mean "any number"; they are not tried.
std::string checkConfigurations(Component component)
{
    auhost::AudioUnitInstance unit(component);
    std::vector<AUChannelInfo> configurations;
    try
    {
        configurations = unit.supportedChannels();
    }
    catch (const auhost::AUHostError& failure)
    {
        expectStatus(failure.status(), kAudioUnitErr_InvalidProperty, "SupportedNumChannels");
        return "none announced";
    }
    const bool hasInput = unit.elementCount(kAudioUnitScope_Input) > 0;
    std::string detail;
    for (const AUChannelInfo& configuration : configurations)
    {
        const std::string name = std::to_string(configuration.inChannels) + "-" +
                                 std::to_string(configuration.outChannels);
        if (hasInput && configuration.inChannels > 0)
            expectStatus(trySetFormat(unit, kAudioUnitScope_Input, configuration.inChannels), noErr,
                         "input format of " + name);
        if (configuration.outChannels > 0)
            expectStatus(trySetFormat(unit, kAudioUnitScope_Output, configuration.outChannels), noErr,
                         "output format of " + name);
        detail += (detail.empty() ? "" : ", ") + name;
    }
    UInt32 unannounced = 1;
    while (announced(configurations, unannounced) && unannounced < 64)
        ++unannounced;
    if (unannounced < 64)
        expectStatus(trySetFormat(unit, kAudioUnitScope_Output, unannounced), kAudioUnitErr_FormatNotSupported,
                     std::to_string(unannounced) + " output channels");
    expectStatus(trySetFormat(unit, kAudioUnitScope_Output, 2, false), kAudioUnitErr_FormatNotSupported,
                 "an integer output format");
    return detail + "; " + std::to_string(unannounced) + " out and integer samples refused";
}

std::string checkMono(Component component)
{
    auhost::AudioUnitInstance unit(component);
    std::vector<AUChannelInfo> configurations;
    try
    {
        configurations = unit.supportedChannels();
    }
    catch (const auhost::AUHostError&)
    {
        return "not offered";
    }
    const bool offered = std::any_of(configurations.begin(), configurations.end(), [](const AUChannelInfo& info) {
        return info.inChannels == 1 && info.outChannels == 1;
    });
    if (!offered)
        return "not offered";
    const std::string problem = soundProblem(renderSliced(unit, testSignal(1, 8192, 44100.0), {44100.0, 512, 512}));
    if (!problem.empty())
        throw CheckWarning("1-1: " + problem);
    return "1-1 renders 8192 frames";
}
}  // namespace

void checkFormats(CheckTable& table, Component component)
{
    table.check("formats", "default formats", [&] {
        const auhost::AudioUnitInstance unit(component);
        return checkDefaultFormats(unit);
    });
    table.check("formats", "channel configurations", [&] { return checkConfigurations(component); });
    table.check("formats", "mono configuration", [&] { return checkMono(component); });
}
}  // namespace auval
