#include "render/render_options.h"

namespace render
{
namespace
{
void takePath(std::string_view name, const std::string& value, std::string& target)
{
    if (value.empty())
        throw tools::UsageError("empty path for " + std::string(name));
    target = value;
}

float unitOption(std::string_view name, const std::string& value)
{
    return static_cast<float>(tools::numberOption(name, value, 0.0, 1.0));
}

void describeValueOptions(tools::CommandLine& line, RenderOptions& options)
{
    line.option({"--size"}, [&options](const std::string& value) { options.size = unitOption("--size", value); });
    line.option({"--dry-wet"},
                [&options](const std::string& value) { options.dryWet = unitOption("--dry-wet", value); });
    line.option({"--program"}, [&options](const std::string& value) {
        options.program = tools::wholeNumberOption("--program", value, 0, kProgramCount - 1);
    });
    line.option({"--block-size"}, [&options](const std::string& value) {
        options.blockSize = tools::wholeNumberOption("--block-size", value, 1, kMaxBlockSize);
    });
    line.option({"--face"}, [&options](const std::string& value) {
        if (value != "vst" && value != "au" && value != "vst3")
            throw tools::UsageError("invalid value '" + value + "' for --face: expected vst, au or vst3");
        options.face = value == "au" ? Face::audioUnit : value == "vst3" ? Face::vst3 : Face::vst;
    });
    line.option({"-o", "--output"},
                [&options](const std::string& value) { takePath("--output", value, options.outputPath); });
    line.option({"--bundle"},
                [&options](const std::string& value) { takePath("--bundle", value, options.bundlePath); });
    line.option({"--preset"},
                [&options](const std::string& value) { takePath("--preset", value, options.presetPath); });
    line.option({"--picture"},
                [&options](const std::string& value) { takePath("--picture", value, options.picturePath); });
}
}  // namespace

void describeOptions(tools::CommandLine& line, RenderOptions& options)
{
    describeValueOptions(line, options);
    line.flag({"--on"}, [&options] { options.on = true; });
    line.flag({"--off"}, [&options] { options.on = false; });
    line.flag({"--list-presets"}, [&options] { options.listPresets = true; });
    line.flag({"--float"}, [&options] { options.floatOutput = true; });
    line.flag({"-q", "--quiet"}, [&options] { options.quiet = true; });
    line.flag({"-v", "--verbose"}, [&options] { options.verbose = true; });
}

void takeInput(const std::vector<std::string>& operands, RenderOptions& options)
{
    if (operands.size() > 1)
        throw tools::UsageError("more than one input file ('" + operands[0] + "' and '" + operands[1] + "')");
    if (!operands.empty() && operands[0].empty())
        throw tools::UsageError("empty input file name");
    if (!operands.empty())
        options.inputPath = operands[0];
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
           "      --face FACE      the face to render through: vst, Velmora.vst's VST effect\n"
           "                       (default); au, its Audio Unit; vst3, Velmora.vst3's\n"
           "                       effect; all give the same samples\n"
           "      --preset FILE    load an .aupreset, .fxp (program) or .fxb (bank) first\n"
           "                       (VST and Audio Unit faces)\n"
           "      --program N      then select program N, 0..7 (VST and VST3 faces), or load\n"
           "                       factory preset N (Audio Unit face)\n"
           "      --list-presets   print the programs (VST and VST3 faces) or factory presets\n"
           "                       (Audio Unit face), after --preset, and render nothing\n"
           "      --size X         Size 0..1 (delay lengths: 15 ms at 0, 115 ms at 1)\n"
           "      --dry-wet X      Dry/Wet 0..1 (level of the width signal)\n"
           "      --on, --off      switch the effect on or off\n"
           "      --block-size N   frames per processing call, 1..65536 (default 512)\n"
           "      --bundle PATH    the bundle to load: Velmora.vst, or Velmora.vst3 for the\n"
           "                       VST3 face (default: the first found in the build tree of\n"
           "                       this tool, the folders in $VST_PATH, ~/.vst,\n"
           "                       /usr/local/lib/vst, /usr/lib/vst, in that order; for the\n"
           "                       VST3 face the build tree, $VST3_PATH, ~/.vst3,\n"
           "                       /usr/local/lib/vst3, /usr/lib/vst3)\n"
           "  -v, --verbose        say which bundle renders\n"
           "      --trace          show the trace lines the Audio Unit face writes to standard\n"
           "                       error (hidden by default)\n"
           "  -q, --quiet          print nothing but errors\n"
           "  -h, --help           show this text\n"
           "      --version        show the version\n";
}
}  // namespace render
