// Four host threads at once, as hosts drive an effect: the audio thread plays
// automation between processing calls, the user-interface thread picks and
// renames programs and turns controls, a preset browser reads the programs'
// names, and the editor is idled on a fourth. Run under ThreadSanitizer this
// must give no report; in any build the audio must stay finite and every name
// read must be one that was set, never a mix of two.
#include "effect/velmora_identity.h"
#include "support/signals.h"
#include "support/velmora_bundle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <string_view>
#include <thread>

TEST(ParameterRace, AutomationProgramsRenamingAndEditorIdleRunTogether)
{
    auto effect = testsupport::openVelmora();
    ASSERT_NE(effect, nullptr);
    AEffect* record = effect->effect();
    // No parent window: the panel is built offscreen, its timer on this thread.
    ASSERT_EQ(record->dispatcher(record, effEditOpen, 0, 0, nullptr, 0.0f), 1);

    std::atomic<bool> audioDone{false};
    bool finite = true;
    std::thread audio([&] {
        testsupport::StereoBuffer input(testsupport::noise(64, 3), testsupport::noise(64, 9));
        testsupport::StereoBuffer output(64);
        for (int block = 0; block < 3000; ++block)
        {
            record->setParameter(record, velmora::kSize, static_cast<float>(block % 97) / 96.0f);
            record->setParameter(record, velmora::kOnOff, static_cast<float>(block / 7 % 2));
            record->processReplacing(record, input.channels(), output.channels(), 64);
            for (std::size_t n = 0; n < output.frames(); ++n)
                finite = finite && std::isfinite(output.left[n]) && std::isfinite(output.right[n]);
        }
        audioDone.store(true);
    });

    // Names of different lengths and letters, so that a mix of two shows.
    char names[][24] = {"Pad", "Wide Strings Ensemble"};
    std::thread interface([&] {
        char name[64];  // room a host gives a program name, with margin
        for (int round = 0; round < 200000 && !audioDone.load(); ++round)
        {
            const float value = static_cast<float>(round % 101) / 100.0f;
            record->setParameter(record, velmora::kDryWet, value);
            record->setParameter(record, velmora::kSize, 1.0f - value);
            if (round % 20 == 0)
            {
                record->dispatcher(record, effSetProgram, 0, round / 20 % velmora::kNumPrograms, nullptr, 0.0f);
                record->dispatcher(record, effGetProgramName, 0, 0, name, 0.0f);
            }
            record->dispatcher(record, effSetProgramName, 0, 0, names[round % 2], 0.0f);
            (void)record->getParameter(record, velmora::kSize);
        }
    });

    std::string tornName;
    std::thread browser([&] {
        char name[64];
        while (!audioDone.load() && tornName.empty())
        {
            // The program being renamed, most of the time.
            const auto program = static_cast<VstInt32>(record->dispatcher(record, effGetProgram, 0, 0, nullptr, 0.0f));
            record->dispatcher(record, effGetProgramNameIndexed, program, 0, name, 0.0f);
            const std::string_view read(name);
            if (read != "Init" && read != names[0] && read != names[1])
                tornName = name;
        }
    });

    for (int turn = 0; turn < 200000 && !audioDone.load(); ++turn)
        record->dispatcher(record, effEditIdle, 0, 0, nullptr, 0.0f);

    audio.join();
    interface.join();
    browser.join();
    record->dispatcher(record, effEditClose, 0, 0, nullptr, 0.0f);
    EXPECT_TRUE(finite) << "output stayed finite while parameters changed";
    EXPECT_EQ(tornName, "") << "a name read while the program was renamed mixes two names";
}
