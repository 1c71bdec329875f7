#pragma once
// "TDParameters.txt": which parameters of the hosted effect the Audio Unit
// shows, in which order, with which names, ranges, units and display styles;
// and the conversions between Audio Unit values and the effect's 0..1 values.
//
// The file has a header line, then one tab-separated line per parameter:
// number ("+" appended marks a meta parameter), name, min, max, display
// ("=" a number, "?" text asked from the component, "b" on/off, or choices
// joined by "|"), unit name ("-" for none) and default. Lines that do not
// fit are skipped.

#include <AudioUnit/AudioUnit.h>
#include <CoreServices/CoreServices.h>

#include <string_view>
#include <vector>

class VSTPlugIn;

inline constexpr int kMaxMappedParameters = 1024;

struct ParameterMapping  // owns its CF objects; move-only
{
    std::vector<AudioUnitParameterID> parameterList;     // file order
    std::vector<AudioUnitParameterInfo> parameterInfos;  // one per VST parameter; unmapped: all zero
    std::vector<CFArrayRef> parameterValueStrings;       // one per VST parameter; null unless a list

    ParameterMapping() = default;
    ~ParameterMapping();
    ParameterMapping(ParameterMapping&& other) noexcept;
    ParameterMapping& operator=(ParameterMapping&& other) noexcept;
};

// Reads "TDParameters.txt" in `resourcesFolder`, writing the default file first when it is missing.
ParameterMapping readOrCreateParameterMapping(const FSRef& resourcesFolder, VSTPlugIn& vst,
                                              bool vstGotTandemExtensions);
ParameterMapping readParameterMapping(const FSRef& file, int vstParameterCount);
// The mapping the file's text gives; EOFException when it has no header line.
ParameterMapping parseParameterMapping(std::string_view text, int vstParameterCount);
// Writes the header and one line per parameter of `vst` into an existing, empty
// file, and closes it (DataFork::close).
void createDefaultParameterMappingFile(const FSRef& file, VSTPlugIn& vst, bool vstGotTandemExtensions);

// Values outside the parameter's range (they come from hosts) are clamped into it.
float scaleFromAUParameter(const AudioUnitParameterInfo& info, float auValue);
float scaleToAUParameter(const AudioUnitParameterInfo& info, float vstValue);
