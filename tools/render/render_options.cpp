#include "render/render_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace render
{
namespace
{
bool parseUnit(const std::string& name, const std::string& text, std::optional<float>& target, std::string& error)
{
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !std::isfinite(value) || value < 0.0 || value > 1.0)
    {
        error = "invalid value '" + text + "' for " + name + ": expected a number from 0 to 1";
        return false;
    }
    target = static_cast<float>(value);
    return true;
}

bool parseInteger(const std::string& name, const std::string& text, int minimum, int maximum, int& target,
                  std::string& error)
{
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < minimum || value > maximum)
    {
        error = "invalid value '" + text + "' for " + name + ": expected a whole number from " +
                std::to_string(minimum) + " to " + std::to_string(maximum);
        return false;
    }
    target = static_cast<int>(value);
    return true;
}

bool takesValue(std::string_view name)
{
    return name == "--size" || name == "--dry-wet" || name == "--program" || name == "--block-size" ||
           name == "--output" || name == "-o" || name == "--bundle" || name == "--face" || name == "--preset" ||
           name == "--picture";
}

bool applyValue(const std::string& name, const std::string& value, RenderOptions& options, std::string& error)
{
    if (name == "--size")
        return parseUnit(name, value, options.size, error);
    if (name == "--dry-wet")
        return parseUnit(name, value, options.dryWet, error);
    if (name == "--program")
    {
        int program = 0;
        if (!parseInteger(name, value, 0, kProgramCount - 1, program, error))
            return false;
        options.program = program;
        return true;
    }
    if (name == "--block-size")
        return parseInteger(name, value, 1, kMaxBlockSize, options.blockSize, error);
    if (name == "--face")
    {
        if (value != "vst" && value != "au")
        {
            error = "invalid value '" + value + "' for --face: expected vst or au";
            return false;
        }
        options.face = value == "au" ? Face::audioUnit : Face::vst;
        return true;
    }
    if (value.empty())
    {
        error = "empty path for " + name;
        return false;
    }
    (name == "--bundle"    ? options.bundlePath
     : name == "--preset"  ? options.presetPath
     : name == "--picture" ? options.picturePath
                           : options.outputPath) = value;
    return true;
}

bool applyFlag(const std::string& name, RenderOptions& options)
{
    if (name == "--on" || name == "--off")
        options.on = name == "--on";
    else if (name == "--list-presets")
        options.listPresets = true;
    else if (name == "--float")
        options.floatOutput = true;
    else if (name == "-q" || name == "--quiet")
        options.quiet = true;
    else if (name == "-v" || name == "--verbose")
        options.verbose = true;
    else
        return options.common.take(name);
    return true;
}
}  // namespace

bool parseOptions(int argc, char** argv, RenderOptions& options, std::string& error)
{
    bool onlyPathsFollow = false;
    for (int position = 1; position < argc; ++position)
    {
        std::string argument = argv[position];
        if (onlyPathsFollow || argument.size() < 2 || argument[0] != '-')
        {
            if (!options.inputPath.empty())
            {
                error = "more than one input file ('" + options.inputPath + "' and '" + argument + "')";
                return false;
            }
            if (argument.empty())
            {
                error = "empty input file name";
                return false;
            }
            options.inputPath = argument;
            continue;
        }
        if (argument == "--")
        {
            onlyPathsFollow = true;
            continue;
        }
        std::string value;
        bool hasInlineValue = false;
        if (const auto equals = argument.find('='); argument.starts_with("--") && equals != std::string::npos)
        {
            value = argument.substr(equals + 1);
            argument.resize(equals);
            hasInlineValue = true;
        }
        if (takesValue(argument))
        {
            if (!hasInlineValue)
            {
                if (position + 1 >= argc)
                {
                    error = "missing value for " + argument;
                    return false;
                }
                value = argv[++position];
            }
            if (!applyValue(argument, value, options, error))
                return false;
        }
        else if (hasInlineValue || !applyFlag(argument, options))
        {
            error = "unknown option '" + std::string(argv[position]) + "' (see --help)";
            return false;
        }
    }
    return true;
}

const char* usageText()
{
    return "Usage: velmora-render [options] [INPUT]\n"
           "\n"
           "Renders INPUT (WAV, AIFF or FLAC; mono or stereo) through the Velmora stereo\n"
           "widener and writes the result in the same format. Without INPUT it renders a\n"
           "built-in demo and also writes the dry demo beside the result for comparison.\n"
           "\n"
           "Options:\n"
           "  -o, --output PATH    output file (default: INPUT-velmora.EXT, or velmora-demo.wav,\n"
           "                       in the current folder)\n"
           "      --float          write 32-bit float samples, so that nothing clips (WAV, AIFF;\n"
           "                       FLAC holds integers only)\n"
           "      --picture FILE   draw the stereo image before and after as a PNG (the demo\n"
           "                       draws velmora-demo.png beside its sound files by default)\n"
           "      --face vst|au    the face of the bundle to render through: its VST effect\n"
           "                       (default) or its Audio Unit; both give the same samples\n"
           "      --preset FILE    load an .aupreset, .fxp (program) or .fxb (bank) first\n"
           "      --program N      then select program N, 0..7 (VST face), or load factory\n"
           "                       preset N (Audio Unit face)\n"
           "      --list-presets   print the programs (VST face) or factory presets (Audio\n"
           "                       Unit face), after --preset, and render nothing\n"
           "      --size X         Size 0..1 (delay lengths: 15 ms at 0, 115 ms at 1)\n"
           "      --dry-wet X      Dry/Wet 0..1 (level of the width signal)\n"
           "      --on, --off      switch the effect on or off\n"
           "      --block-size N   frames per processing call, 1..65536 (default 512)\n"
           "      --bundle PATH    the Velmora.vst bundle to load (default: the first found in\n"
           "                       the build tree of this tool, the folders in $VST_PATH,\n"
           "                       ~/.vst, /usr/local/lib/vst, /usr/lib/vst, in that order)\n"
           "  -v, --verbose        say which bundle renders\n"
           "      --trace          show the trace lines the Audio Unit face writes to standard\n"
           "                       error (hidden by default)\n"
           "  -q, --quiet          print nothing but errors\n"
           "  -h, --help           show this text\n"
           "      --version        show the version\n";
}
}  // namespace render
