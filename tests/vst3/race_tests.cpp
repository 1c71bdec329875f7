// The interface thread restores states, reads them and moves controls on the
// controller while the audio thread processes blocks with automation, as a
// session reload does. Run under ThreadSanitizer this must give no report; in
// any build the audio stays finite and every state read back is whole.
#include "vst3/vst3_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

using namespace vst3test;

TEST(Vst3Race, StatesAndControlsFromTheInterfaceThreadWhileProcessing)
{
    constexpr int kBlocks = 2000;
    constexpr int kInterfaceRounds = 300;
    LoadedVst3 loaded;
    ASSERT_TRUE(loaded.loaded() && loaded.start(processSetup(vst3::kSample32, 64)));
    vst3host::EffectInstance& effect = loaded.instance();
    StateRecord renamed;
    renamed.currentProgram = 5;
    for (StateRecord::Program& program : renamed.programs)
        program.name = "A much longer program name";
    const vst3host::Bytes states[2] = {stateBytes(distinctPrograms()), stateBytes(renamed)};

    std::atomic<int> interfaceRounds{0};
    std::atomic<bool> audioDone{false};
    bool finite = true;
    std::thread audio([&] {
        StereoBuffer input = noiseInput(64);
        StereoBuffer output(64);
        // Until both threads have done their share, however the machine
        // schedules them; the deadline only keeps a hung run from hanging ctest.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        for (int block = 0; (block < kBlocks || interfaceRounds.load() < kInterfaceRounds) &&
                            std::chrono::steady_clock::now() < deadline;
             ++block)
        {
            loaded.caller().addChange(kSizeId, block % 64, (block % 97) / 96.0);
            loaded.caller().addChange(kOnOffId, 63 - block % 64, block / 7 % 2);
            loaded.caller().addChange(kProgramId, 0, block / 50 % 8 / 7.0);
            loaded.caller().process(input.channels(), 2, output.channels(), 2, 64);
            for (std::size_t frame = 0; frame < output.frames(); ++frame)
                finite = finite && std::isfinite(output.left[frame]) && std::isfinite(output.right[frame]);
        }
        audioDone.store(true);
    });

    int wholeStates = 0;
    for (int round = 0; !audioDone.load(); ++round)
    {
        EXPECT_EQ(effect.setComponentState(states[round % 2]), vst3::kResultOk);
        vst3host::Bytes read;
        EXPECT_EQ(effect.componentState(read), vst3::kResultOk);
        // The controller refuses a record that mixes two writers' bytes.
        wholeStates += effect.syncController(read) == vst3::kResultOk;
        effect.controller().setParamNormalized(kDryWetId, (round % 11) / 10.0);
        (void)effect.parameterText(kProgramId, effect.controller().getParamNormalized(kProgramId));
        interfaceRounds.store(round + 1);
    }
    audio.join();
    EXPECT_TRUE(finite);
    EXPECT_GE(interfaceRounds.load(), kInterfaceRounds);
    EXPECT_EQ(wholeStates, interfaceRounds.load()) << "a state read back mixed two states";
}
