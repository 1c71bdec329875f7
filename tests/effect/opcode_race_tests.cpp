// A host's interface thread sends every opcode it may send while the audio
// thread processes: rates that need a larger ring and back, two rates in quick
// succession, suspend and resume, programs, names, parameters, block sizes,
// bypass, the editor's idle; then the effect closes with a rate no block took.
// Under AddressSanitizer and ThreadSanitizer this must give no report; in any
// build the output must stay finite with its mono sum kept.
#include "effect/velmora_identity.h"
#include "support/signals.h"
#include "support/velmora_bundle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <thread>

namespace
{
// The rates need rings of 16384, 32768 and 65536 samples.
constexpr float kRates[] = {44100.0f, 96000.0f, 48000.0f, 192000.0f, 22050.0f};
constexpr int kEffects = 5;
constexpr std::chrono::milliseconds kRunTimePerEffect{300};

// One round of the interface thread: each opcode but effClose and the editor's
// open and close once, with arguments that change something, then each
// parameter set and read. Answers the calls made.
long sendEveryOpcode(AEffect* record, long round)
{
    static char names[][24] = {"Pad", "Wide Strings Ensemble"};
    alignas(16) char scratch[1024];  // larger than any record an opcode points at
    long calls = 0;
    for (VstInt32 opcode = effOpen; opcode <= effGetNumMidiOutputChannels; ++opcode)
    {
        std::memset(scratch, 0, sizeof scratch);
        void* ptr = scratch;
        VstIntPtr value = 0;
        float opt = 0.0f;
        switch (opcode)
        {
        case effClose:
        case effEditOpen:
        case effEditClose: continue;
        case effSetProgram: value = round % velmora::kNumPrograms; break;
        case effSetProgramName: ptr = names[round % 2]; break;
        case effSetSampleRate: opt = kRates[round % std::size(kRates)]; break;
        case effSetBlockSizeAndSampleRate:
            value = 512;
            opt = kRates[(round + 3) % std::size(kRates)];
            break;
        case effSetBlockSize: value = 64 << (round % 4); break;
        case effMainsChanged:
        case effSetBypass: value = round % 2; break;
        default: break;
        }
        record->dispatcher(record, opcode, 0, value, ptr, opt);
        ++calls;
    }
    for (VstInt32 index = 0; index < velmora::kNumParams; ++index)
    {
        record->setParameter(record, index, static_cast<float>(round % 11) / 10.0f);
        (void)record->getParameter(record, index);
        calls += 2;
    }
    return calls;
}

// One effect from opening to closing, its ring grown twice while blocks run and
// a rate pending at close. Answers the first frame with a non-finite output or
// a changed mono sum, -1 for none, and adds to the counts.
long stormOneEffect(long& calls, long& blocks)
{
    long unsoundFrame = -1;
    auto effect = testsupport::openVelmora();
    if (!effect)
        return unsoundFrame;
    AEffect* record = effect->effect();
    EXPECT_EQ(record->dispatcher(record, effEditOpen, 0, 0, nullptr, 0.0f), 1);

    std::atomic<long> blocksDone{0};
    std::atomic<bool> interfaceDone{false};
    std::thread audio([&] {
        const int blockSizes[] = {64, 1, 500, 37, 256};
        testsupport::StereoBuffer input(testsupport::noise(512, 3), testsupport::noise(512, 9));
        testsupport::StereoBuffer output(512);
        long frame = 0;
        for (std::size_t block = 0; !interfaceDone.load() && unsoundFrame < 0; ++block)
        {
            const int frames = blockSizes[block % std::size(blockSizes)];
            record->processReplacing(record, input.channels(), output.channels(), frames);
            blocksDone.fetch_add(1);
            for (std::size_t n = 0; n < static_cast<std::size_t>(frames) && unsoundFrame < 0; ++n, ++frame)
            {
                const float in = input.left[n] + input.right[n];
                const float out = output.left[n] + output.right[n];
                if (!std::isfinite(output.left[n]) || !std::isfinite(output.right[n]) ||
                    std::fabs(out - in) > 1e-6f * (1.0f + std::fabs(in)))
                    unsoundFrame = frame;
            }
        }
    });

    while (blocksDone.load() == 0)
        std::this_thread::yield();
    const auto end = std::chrono::steady_clock::now() + kRunTimePerEffect;
    for (long round = 0; std::chrono::steady_clock::now() < end; ++round)
        calls += sendEveryOpcode(record, round);
    interfaceDone.store(true);
    audio.join();
    blocks += blocksDone.load();
    record->dispatcher(record, effEditClose, 0, 0, nullptr, 0.0f);
    record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, 384000.0f);
    return unsoundFrame;
}
}  // namespace

TEST(OpcodeRace, EveryInterfaceOpcodeWhileProcessingKeepsTheOutputSound)
{
    long calls = 0;
    long blocks = 0;
    for (int effect = 0; effect < kEffects && !HasFailure(); ++effect)
    {
        const long unsoundFrame = stormOneEffect(calls, blocks);
        EXPECT_EQ(unsoundFrame, -1) << "output not finite or mono sum changed at frame " << unsoundFrame
                                    << " of effect " << effect;
    }
    RecordProperty("calls", std::to_string(calls));
    RecordProperty("blocks", std::to_string(blocks));
}
