// Rendering through the component: the effect run once per time stamp on
// shared buffers, input from callbacks and connections, notifications,
// transport and MIDI.

#include "component_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "support/signals.h"

namespace
{
using namespace componenttest;

constexpr int kFrames = 256;

// An initialized unit hosting the test effect, with a stereo input signal.
struct TestEffectUnit
{
    TestEffectUnit() : effect(resetComponentTestEffect()), bundle(hostingTestEffect()), unit(bundle) {}
    void start()
    {
        EXPECT_EQ(setInputSignal(unit, 0, signal), noErr);
        EXPECT_EQ(AudioUnitInitialize(unit), noErr);
    }
    FakeEffectControl& effect;
    ComponentBundle bundle;
    OpenUnit unit;
    InputSignal signal{{testsupport::noise(4 * kFrames, 1), testsupport::noise(4 * kFrames, 2)}};
};

TEST(ComponentRender, TheEffectRunsOncePerTimeStampUntilResetAndChainedUnitsPullThroughTheirConnection)
{
    TestEffectUnit test;
    test.start();
    BusBuffers first(2, kFrames);
    BusBuffers second(2, kFrames, false);
    ASSERT_EQ(render(test.unit, 0.0, first, kFrames), noErr);
    ASSERT_EQ(render(test.unit, 0.0, second, kFrames), noErr);
    EXPECT_EQ(test.effect.processCalls, 1);
    EXPECT_EQ(test.signal.pulls, 1);
    ASSERT_NE(second.channel(1), nullptr) << "without host memory the unit points at its own";
    EXPECT_EQ(second.channel(1)[7], first.channel(1)[7]);
    EXPECT_EQ(first.channel(1)[7], test.signal.channels[1][7] * kFakeEffectGain);

    EXPECT_EQ(AudioUnitReset(test.unit, kAudioUnitScope_Global, 0), noErr);
    ASSERT_EQ(render(test.unit, 0.0, first, kFrames), noErr);
    EXPECT_EQ(test.effect.processCalls, 2);
    ASSERT_EQ(render(test.unit, kFrames, first, kFrames), noErr);
    EXPECT_EQ(test.effect.processCalls, 3);

    OpenUnit downstream(test.bundle);
    ASSERT_EQ(setProperty(downstream, kAudioUnitProperty_MakeConnection, AudioUnitConnection{test.unit, 0, 0},
                          kAudioUnitScope_Input),
              noErr);
    ASSERT_EQ(AudioUnitInitialize(downstream), noErr);
    ASSERT_EQ(render(downstream, 2 * kFrames, first, kFrames), noErr);
    EXPECT_EQ(test.effect.processCalls, 5) << "a chained unit pulls through its connection";
    EXPECT_EQ(first.channel(0)[5], test.signal.channels[0][2 * kFrames + 5] * kFakeEffectGain * kFakeEffectGain);
}

TEST(ComponentRender, AMonoInputReachesEveryPinAsItCame)
{
    TestEffectUnit test;
    ASSERT_EQ(setStreamFormat(test.unit, kAudioUnitScope_Input, 0, 1), noErr);
    test.start();
    BusBuffers output(2, kFrames);
    ASSERT_EQ(render(test.unit, 0.0, output, kFrames), noErr);
    const float expected = test.signal.channels[0][9] * kFakeEffectGain;
    EXPECT_EQ(output.channel(0)[9], expected);
    EXPECT_EQ(output.channel(1)[9], expected) << "the right pin read after the left one was written";
}

TEST(ComponentRender, AMonoOutputHoldsTheMeanOfThePinsAcrossStreamAndSliceChanges)
{
    TestEffectUnit test;
    ASSERT_EQ(setStreamFormat(test.unit, kAudioUnitScope_Output, 0, 1), noErr);
    ASSERT_EQ(setProperty(test.unit, kAudioUnitProperty_MaximumFramesPerSlice, UInt32{2 * kFrames}), noErr);
    test.start();
    const std::vector<std::vector<float>>& in = test.signal.channels;
    for (bool withMemory : {true, false})
    {
        BusBuffers mono(1, kFrames, withMemory);
        const double start = withMemory ? 0.0 : kFrames;
        ASSERT_EQ(render(test.unit, start, mono, kFrames), noErr);
        for (int frame : {0, 9, kFrames - 1})
        {
            const auto at = static_cast<size_t>(start) + static_cast<size_t>(frame);
            EXPECT_FLOAT_EQ(mono.channel(0)[frame], (in[0][at] + in[1][at]) / 2 * kFakeEffectGain) << frame;
        }
    }

    ASSERT_EQ(AudioUnitUninitialize(test.unit), noErr);
    ASSERT_EQ(setStreamFormat(test.unit, kAudioUnitScope_Output, 0, 2), noErr);
    ASSERT_EQ(AudioUnitInitialize(test.unit), noErr);
    BusBuffers stereo(2, kFrames, false);
    ASSERT_EQ(render(test.unit, 2 * kFrames, stereo, kFrames), noErr);
    EXPECT_EQ(stereo.channel(0)[9], in[0][2 * kFrames + 9] * kFakeEffectGain);
    EXPECT_EQ(stereo.channel(1)[9], in[1][2 * kFrames + 9] * kFakeEffectGain);
}

// A source that flags its input silent while handing out signal.
OSStatus falselySilent(void*, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, UInt32, UInt32 frames,
                       AudioBufferList* data)
{
    *flags |= kAudioUnitRenderAction_OutputIsSilence;
    for (UInt32 channel = 0; channel < data->mNumberBuffers; ++channel)
        std::fill_n(static_cast<float*>(data->mBuffers[channel].mData), frames, 0.25f);
    return noErr;
}

TEST(ComponentRender, AnInputWithoutSourceIsSilenceAndASourceClaimingSilenceIsChecked)
{
    TestEffectUnit test;
    ASSERT_EQ(AudioUnitInitialize(test.unit), noErr);
    BusBuffers output(2, kFrames);
    output.channel(0)[3] = 1.0f;
    testing::internal::CaptureStderr();
    ASSERT_EQ(render(test.unit, 0.0, output, kFrames), noErr);
    EXPECT_EQ(output.channel(0)[3], 0.0f);

    ASSERT_EQ(setProperty(test.unit, kAudioUnitProperty_SetRenderCallback,
                          AURenderCallbackStruct{falselySilent, nullptr}, kAudioUnitScope_Input),
              noErr);
    ASSERT_EQ(render(test.unit, kFrames, output, kFrames), noErr);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_PRED2(contains, log, "Input was flagged silent when signal was not (may be bug in signal source)");
    EXPECT_EQ(output.channel(1)[3], 0.25f * kFakeEffectGain);
}

TEST(ComponentRender, HostFaultsFailTheCallWithTheirStatusAndLogLines)
{
    TestEffectUnit test;
    BusBuffers output(2, kFrames);
    EXPECT_EQ(render(test.unit, 0.0, output, kFrames), kAudioUnitErr_Uninitialized);
    test.start();
    testing::internal::CaptureStderr();
    BusBuffers large(2, 4097);
    EXPECT_EQ(render(test.unit, 0.0, large, 4097), paramErr);
    EXPECT_EQ(render(test.unit, 0.0, output, kFrames, 1), paramErr);
    BusBuffers mono(1, kFrames);
    EXPECT_EQ(render(test.unit, 0.0, mono, kFrames), paramErr);
    AudioUnitRenderActionFlags preRender = kAudioUnitRenderAction_PreRender;
    EXPECT_EQ(render(test.unit, 0.0, output, kFrames, 0, &preRender), paramErr);
    BusBuffers shortBuffers(2, kFrames - 1);
    EXPECT_EQ(render(test.unit, 0.0, shortBuffers, kFrames), paramErr);
    const AudioTimeStamp stamp = timeStamp(0.0);
    EXPECT_EQ(AudioUnitRender(test.unit, nullptr, &stamp, 0, kFrames, nullptr), paramErr);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_PRED2(contains, log,
                 "AURender called for an unexpected large number of frames (expected max 4096, got 4097)");
    EXPECT_PRED2(contains, log, "AURender called for an invalid bus (1)");
    EXPECT_PRED2(contains, log, "AURender called for an unexpected number of output channels (expected 2, got 1)");
    EXPECT_PRED2(contains, log, "Invalid 'ioActionFlags' on call to AURender");
    EXPECT_EQ(test.effect.processCalls, 0);
    EXPECT_EQ(render(test.unit, 0.0, output, kFrames), noErr);
}

// Who was notified, each followed by < before the render and > after it.
std::string gHeard;

template <char who>
OSStatus notified(void*, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, UInt32, UInt32, AudioBufferList*)
{
    gHeard += {who, *flags == kAudioUnitRenderAction_PreRender    ? '<'
                    : *flags == kAudioUnitRenderAction_PostRender ? '>'
                                                                  : '?'};
    return noErr;
}

TEST(ComponentRender, NotificationsAreCalledNewestFirstAroundTheRender)
{
    TestEffectUnit test;
    test.start();
    for (const AURenderCallback notify : {notified<'1'>, notified<'2'>, notified<'1'>})
        ASSERT_EQ(AudioUnitAddRenderNotify(test.unit, notify, nullptr), noErr);
    gHeard.clear();
    BusBuffers output(2, kFrames);
    ASSERT_EQ(render(test.unit, 0.0, output, kFrames), noErr);
    EXPECT_EQ(gHeard, "1<2<1<1>2>1>");

    testing::internal::CaptureStderr();
    EXPECT_EQ(AudioUnitRemoveRenderNotify(test.unit, notified<'1'>, nullptr), noErr);
    for (int count = 1; count < 128; ++count)
        ASSERT_EQ(AudioUnitAddRenderNotify(test.unit, notified<'3'>, nullptr), noErr);
    EXPECT_EQ(AudioUnitAddRenderNotify(test.unit, notified<'3'>, nullptr), memFullErr);
    testing::internal::GetCapturedStderr();
    gHeard.clear();
    ASSERT_EQ(render(test.unit, kFrames, output, kFrames), noErr);
    EXPECT_EQ(gHeard.find('1'), std::string::npos) << "both registrations of the pair are gone";
}

// Host answers, finite or not.
template <bool finite>
OSStatus beatAndTempo(void*, Float64* beat, Float64* tempo)
{
    *beat = finite ? 6.5 : std::numeric_limits<Float64>::quiet_NaN();
    *tempo = finite ? 93.0 : std::numeric_limits<Float64>::infinity();
    return noErr;
}

template <bool finite>
OSStatus transport(void*, Boolean* playing, Boolean* changed, Float64* sample, Boolean* cycling, Float64* start,
                   Float64* end)
{
    *playing = true;
    *changed = *cycling = false;
    *sample = finite ? 1234.0 : std::numeric_limits<Float64>::quiet_NaN();
    *start = 2.0;
    *end = 6.0;
    return noErr;
}

OSStatus infiniteNumerator(void*, UInt32*, Float32* numerator, UInt32*, Float64*)
{
    *numerator = -std::numeric_limits<Float32>::infinity();
    return noErr;
}

TEST(ComponentRender, TheTransportRecordComesFromTheHostsCallbacks)
{
    TestEffectUnit test;
    test.start();
    BusBuffers output(2, kFrames);
    ASSERT_EQ(render(test.unit, 512.0, output, kFrames), noErr);
    EXPECT_EQ(test.effect.timeInfo.flags, 0);
    EXPECT_EQ(test.effect.timeInfo.samplePos, 512.0);
    EXPECT_EQ(test.effect.timeInfo.sampleRate, 44100.0);

    ASSERT_EQ(setProperty(test.unit, kAudioUnitProperty_HostCallbacks,
                          HostCallbackInfo{nullptr, beatAndTempo<true>, nullptr, transport<true>}),
              noErr);
    ASSERT_EQ(render(test.unit, 768.0, output, kFrames), noErr);
    const VstTimeInfo& time = test.effect.timeInfo;
    EXPECT_EQ(time.flags, kVstPpqPosValid | kVstTempoValid | kVstTransportPlaying | kVstCyclePosValid);
    EXPECT_EQ(time.ppqPos, 6.5);
    EXPECT_EQ(time.tempo, 93.0);
    EXPECT_EQ(time.samplePos, 1234.0);
    EXPECT_EQ(time.cycleEndPos, 6.0);

    ASSERT_EQ(setProperty(test.unit, kAudioUnitProperty_HostCallbacks,
                          HostCallbackInfo{nullptr, beatAndTempo<false>, infiniteNumerator, transport<false>}),
              noErr);
    ASSERT_EQ(render(test.unit, 896.0, output, kFrames), noErr);
    EXPECT_EQ(time.flags, 0) << "answers that are not finite are not used";
    EXPECT_EQ(time.timeSigNumerator, 0);
    EXPECT_EQ(time.samplePos, 896.0);

    ASSERT_EQ(AudioUnitSetProperty(test.unit, kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0, nullptr, 0),
              noErr)
        << "no data is a record of no callbacks";
    ASSERT_EQ(render(test.unit, 1024.0, output, kFrames), noErr);
    EXPECT_EQ(time.flags, 0);
    EXPECT_EQ(time.samplePos, 1024.0);
    EXPECT_EQ(time.tempo, 0.0) << "nothing stays from the callbacks taken back";
    EXPECT_EQ(time.cycleEndPos, 0.0);
}

TEST(ComponentMidi, EventsReachOnlyAResumedEffectThatAskedAndTheQueueIsBounded)
{
    TestEffectUnit ignoring;
    ignoring.start();
    EXPECT_EQ(MusicDeviceMIDIEvent(ignoring.unit, 0x90, 60, 100, 3), noErr);
    BusBuffers output(2, kFrames);
    ASSERT_EQ(render(ignoring.unit, 0.0, output, kFrames), noErr);
    EXPECT_EQ(ignoring.effect.processEventsCalls, 0) << "dropped for an effect that never asked";

    TestEffectUnit asking;
    asking.effect.askForMidi = true;
    EXPECT_EQ(MusicDeviceMIDIEvent(asking.unit, 0x90, 61, 100, 0), noErr) << "dropped while suspended";
    asking.start();
    testing::internal::CaptureStderr();
    for (int event = 0; event < 1025; ++event)
        EXPECT_EQ(MusicDeviceMIDIEvent(asking.unit, 0x90, 62, 101, 17), noErr);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_PRED2(contains, log, "Too many MIDI events received\n");
    ASSERT_EQ(render(asking.unit, 0.0, output, kFrames), noErr);
    EXPECT_EQ(asking.effect.processEventsCalls, 1);
    EXPECT_EQ(asking.effect.eventCount, 1024);
    EXPECT_EQ(asking.effect.firstEvent.deltaFrames, 17);
    EXPECT_EQ(asking.effect.firstEvent.midiData[1], 62);
    ASSERT_EQ(render(asking.unit, kFrames, output, kFrames), noErr);
    EXPECT_EQ(asking.effect.processEventsCalls, 1) << "every processing call empties the queue";
}

TEST(ComponentRender, VelmorasMonoOutputIsTheMonoOfItsInput)
{
    ComponentBundle bundle;
    constexpr int kBlock = 512;
    InputSignal signal{{testsupport::noise(4 * kBlock, 5), testsupport::noise(4 * kBlock, 6)}};
    for (UInt32 inputChannels : {1u, 2u})
    {
        OpenUnit unit(bundle);
        ASSERT_EQ(setStreamFormat(unit, kAudioUnitScope_Input, 0, inputChannels), noErr);
        ASSERT_EQ(setStreamFormat(unit, kAudioUnitScope_Output, 0, 1), noErr);
        ASSERT_EQ(AudioUnitSetParameter(unit, 1, kAudioUnitScope_Global, 0, 0.0f, 0), noErr)
            << "Size 0: the width signal starts after 15 ms";
        ASSERT_EQ(setInputSignal(unit, 0, signal), noErr);
        ASSERT_EQ(AudioUnitInitialize(unit), noErr);
        for (int block = 0; block < 4; ++block)
        {
            BusBuffers output(1, kBlock);
            ASSERT_EQ(render(unit, block * double{kBlock}, output, kBlock), noErr);
            for (int frame = 0; frame < kBlock; ++frame)
            {
                const auto at = static_cast<size_t>(block * kBlock + frame);
                const float left = signal.channels[0][at];
                const float mono = inputChannels == 1 ? left : (left + signal.channels[1][at]) / 2;
                ASSERT_NEAR(output.channel(0)[frame], mono, 1e-6f) << inputChannels << " in, frame " << at;
            }
        }
    }
}

}  // namespace
