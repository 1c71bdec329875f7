// velmora-prepare-bundle BUNDLE: opens and closes each component of BUNDLE
// once through the Audio Unit host library. A component writes its missing
// resource files (the parameter mapping) on its first open; doing that here
// means an installed bundle, which may be read-only, never writes into itself.
//
// The components' trace lines are kept back and shown only when an open
// fails, so that a build stays quiet.

#include "auhost/audio_unit_instance.h"
#include "auhost/component_bundle.h"
#include "common/component_trace.h"

#include <cstdio>
#include <stdexcept>

namespace
{
void openEveryComponent(const std::string& bundlePath)
{
    auhost::registerComponentBundle(bundlePath);
    const std::vector<auhost::ComponentEntry> components = auhost::findComponents({});
    if (components.empty())
        throw std::runtime_error("'" + bundlePath + "' declares no component");
    for (const auhost::ComponentEntry& entry : components)
        auhost::AudioUnitInstance opened(entry.component);
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: velmora-prepare-bundle BUNDLE\n");
        return 2;
    }
    tools::ComponentTrace traces(false);
    try
    {
        openEveryComponent(argv[1]);
        return 0;
    }
    catch (const std::exception& failure)
    {
        traces.replay();
        std::fprintf(tools::userErrors(), "velmora-prepare-bundle: %s\n", failure.what());
        return 1;
    }
}
