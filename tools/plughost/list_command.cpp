#include "plughost/plughost_commands.h"

#include <cstdio>

namespace
{
// Effects write names into room of their own choosing; give them plenty.
constexpr int kTextRoom = 256;

void printEffectText(VSTPlugIn& plugIn, int opcode, const char* title)
{
    char text[kTextRoom] = {};
    plugIn.dispatch(opcode, 0, 0, text, 0.0f);
    text[kTextRoom - 1] = '\0';
    std::printf("%s: %s\n", title, text);
}
}  // namespace

void listPlugIn(VSTPlugIn& plugIn)
{
    printEffectText(plugIn, effGetEffectName, "name");
    printEffectText(plugIn, effGetVendorString, "vendor");
    std::printf("version: %ld\n", static_cast<long>(plugIn.dispatch(effGetVendorVersion, 0, 0, nullptr, 0.0f)));
    std::printf("inputs: %d, outputs: %d\n", plugIn.getInputCount(), plugIn.getOutputCount());

    std::printf("parameters: %d\n", plugIn.getParameterCount());
    for (int index = 0; index < plugIn.getParameterCount(); ++index)
    {
        char name[25];
        char display[25];
        char label[25];
        plugIn.getParameterName(index, name);
        plugIn.getParameterDisplay(index, display);
        plugIn.getParameterLabel(index, label);
        std::printf("  %d %s = %s%s%s (%g)\n", index, name, display, label[0] != '\0' ? " " : "", label,
                    plugIn.getParameter(index));
    }

    std::printf("programs: %d", plugIn.getProgramCount());
    if (plugIn.getProgramCount() > 0)
    {
        std::printf(" (current %d)", plugIn.getCurrentProgram());
    }
    std::printf("\n");
    for (int program = 0; program < plugIn.getProgramCount(); ++program)
    {
        char name[25];
        std::printf("  %d %s\n", program, plugIn.getProgramName(program, name) ? name : "(no name)");
    }
}
