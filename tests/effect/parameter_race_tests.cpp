// A host's user-interface thread sets parameters and programs while its audio
// thread processes. Run under ThreadSanitizer (ctest -R ParameterRace) this
// must give no report; in any build the audio must stay finite.
#include "effect/velmora_identity.h"
#include "support/signals.h"
#include "support/velmora_bundle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

TEST(ParameterRace, ParametersAndProgramsChangeWhileAudioRuns)
{
    auto effect = testsupport::openVelmora();
    ASSERT_NE(effect, nullptr);

    std::atomic<bool> stop{false};
    std::thread controller([&] {
        for (int round = 0; !stop.load(); ++round)
        {
            const float value = static_cast<float>(round % 101) / 100.0f;
            effect->setParameter(velmora::kOnOff, static_cast<float>(round % 2));
            effect->setParameter(velmora::kSize, value);
            effect->setParameter(velmora::kDryWet, 1.0f - value);
            if (round % 50 == 0)
                effect->dispatch(effSetProgram, 0, round % velmora::kNumPrograms);
            (void)effect->getParameter(velmora::kSize);
        }
    });

    testsupport::StereoBuffer input(testsupport::noise(64, 3), testsupport::noise(64, 9));
    testsupport::StereoBuffer output(64);
    bool finite = true;
    for (int block = 0; block < 3000; ++block)
    {
        effect->processReplacing(input.channels(), output.channels(), 64);
        for (std::size_t n = 0; n < output.frames(); ++n)
            finite = finite && std::isfinite(output.left[n]) && std::isfinite(output.right[n]);
    }
    stop.store(true);
    controller.join();
    EXPECT_TRUE(finite) << "output stayed finite while parameters changed";
}
