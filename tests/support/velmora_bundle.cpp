#include "support/velmora_bundle.h"

#include <gtest/gtest.h>

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
}  // namespace testsupport
