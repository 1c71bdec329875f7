#pragma once
// What the Audio Unit fuzz targets share: a copy of the bundle in a temporary
// folder, its component registered and opened as a host opens it, and the
// check that a unit is still usable after an input. The copy is the only
// place they write; the preset folders of both domains point into it too.

#include "fuzz_stop.h"

#include "auhost/audio_unit_instance.h"
#include "auhost/unit_renderer.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace fuzzing
{
namespace fs = std::filesystem;

// An open unit of the copy, initialized for stereo rendering; the renderer
// goes before the instance.
struct RenderingUnit
{
    std::unique_ptr<auhost::AudioUnitInstance> instance;
    std::unique_ptr<auhost::UnitRenderer> renderer;
};

class FuzzedBundle
{
public:
    // Copies the bundle named by VELMORA_BUNDLE (else the build tree's own),
    // registers the copy's component and opens the resident unit, which
    // writes the resource files. Stops the process when it cannot.
    FuzzedBundle();
    ~FuzzedBundle();
    FuzzedBundle(const FuzzedBundle&) = delete;
    FuzzedBundle& operator=(const FuzzedBundle&) = delete;

    fs::path resources() const { return bundle / "Contents/Resources"; }
    // Replaces a resource file of the copy.
    void writeResource(const char* name, std::string_view content) const;
    // Back to what the component wrote on its first open.
    void restoreResource(const char* name) const;

    Component component() const { return registered; }
    // Open for the whole run, as a host keeps a unit while it opens others;
    // the effect's shared resources then stay loaded between inputs.
    RenderingUnit& residentUnit() const { return *resident; }

private:
    fs::path folder;
    fs::path bundle;
    Component registered = nullptr;
    RenderingUnit* resident = nullptr;  // never closed: the process ends with it open
    std::map<std::string, std::string> firstWritten;
};

// Opens a unit, or answers null when the component refuses to open: what the
// input did to the resources may be a reason to refuse, never to stop.
std::unique_ptr<RenderingUnit> openUnit(Component component);

// Gets and sets every mapped parameter (each value read must be finite),
// reads its descriptions, renders a short slice and requires finite output.
// Stops the process, naming the failing call, when the unit is no longer
// usable.
void requireUsable(RenderingUnit& unit);

// Selects every factory preset the unit lists; each must load or be refused
// with a status.
void selectFactoryPresets(RenderingUnit& unit);
}  // namespace fuzzing
