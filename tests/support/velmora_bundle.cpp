#include "support/velmora_bundle.h"

#include <gtest/gtest.h>

#include "effect/velmora_identity.h"

#include <cstdlib>

namespace testsupport
{
std::string velmoraBundlePath()
{
    const char* path = std::getenv("VELMORA_BUNDLE");
    return path ? path : "";
}

std::unique_ptr<vsthost::LoadedEffect> openVelmora(vsthost::HostSettings settings)
{
    std::string error;
    auto loaded = vsthost::LoadedEffect::load(velmoraBundlePath(), error, settings);
    EXPECT_NE(loaded, nullptr) << "Velmora bundle did not load: " << error;
    if (loaded)
        loaded->openAndResume();
    return loaded;
}
StereoBuffer renderVelmoraWithChanges(const StereoBuffer& input, int blockFrames,
                                      const std::vector<ControlChange>& changes, vsthost::HostSettings settings)
{
    auto effect = openVelmora(settings);
    if (!effect)
        return StereoBuffer(0);
    return renderWithChanges(
        input, blockFrames, changes,
        [&](float** in, float** out, int frames) { effect->processReplacing(in, out, frames); },
        [&](const ControlValues& values) {
            effect->setParameter(velmora::kOnOff, values.on ? 1.0f : 0.0f);
            effect->setParameter(velmora::kSize, values.size);
            effect->setParameter(velmora::kDryWet, values.dryWet);
        });
}
}  // namespace testsupport
