// velmora-prepare-bundle BUNDLE: opens and closes each component of BUNDLE
// once through the Audio Unit host library. A component writes its missing
// resource files (the parameter mapping) on its first open; doing that here
// means an installed bundle, which may be read-only, never writes into itself.
//
// The components' trace lines are kept back and shown only when an open
// fails, so that a build stays quiet.

#include "auhost/audio_unit_instance.h"
#include "auhost/component_bundle.h"

#include <cstdio>
#include <stdexcept>
#include <unistd.h>

namespace
{
// Standard error goes to a temporary file until restore().
class HeldBackStandardError
{
public:
    HeldBackStandardError() : held(std::tmpfile()), original(dup(STDERR_FILENO))
    {
        std::fflush(stderr);
        if (held && original >= 0)
            dup2(fileno(held), STDERR_FILENO);
    }
    ~HeldBackStandardError() { restore(false); }
    HeldBackStandardError(const HeldBackStandardError&) = delete;
    HeldBackStandardError& operator=(const HeldBackStandardError&) = delete;

    // Standard error as it was, with what was held back written to it first
    // when `show` is set.
    void restore(bool show)
    {
        std::fflush(stderr);
        if (original >= 0)
        {
            dup2(original, STDERR_FILENO);
            close(original);
            original = -1;
        }
        if (!held)
            return;
        std::rewind(held);
        char chunk[4096];
        for (size_t size; show && (size = std::fread(chunk, 1, sizeof chunk, held)) > 0;)
            std::fwrite(chunk, 1, size, stderr);
        std::fclose(held);
        held = nullptr;
    }

private:
    std::FILE* held;
    int original;
};

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
    HeldBackStandardError traces;
    try
    {
        openEveryComponent(argv[1]);
        return 0;
    }
    catch (const std::exception& failure)
    {
        traces.restore(true);
        std::fprintf(stderr, "velmora-prepare-bundle: %s\n", failure.what());
        return 1;
    }
}
