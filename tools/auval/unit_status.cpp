#include "auval/unit_status.h"

#include "auval/check_table.h"

#include <AudioUnit/AudioUnit.h>

namespace auval
{
std::string statusText(OSStatus status)
{
    const char* name = nullptr;
    switch (status)
    {
    case noErr: name = "no error"; break;
    case paramErr: name = "parameter error"; break;
    case kAudioUnitErr_InvalidProperty: name = "invalid property"; break;
    case kAudioUnitErr_InvalidParameter: name = "invalid parameter"; break;
    case kAudioUnitErr_InvalidElement: name = "invalid element"; break;
    case kAudioUnitErr_FormatNotSupported: name = "format not supported"; break;
    case kAudioUnitErr_InvalidScope: name = "invalid scope"; break;
    case kAudioUnitErr_InvalidPropertyValue: name = "invalid property value"; break;
    default: break;
    }
    const std::string number = std::to_string(status);
    return name ? number + " (" + name + ")" : number;
}

void expectStatus(OSStatus status, OSStatus wanted, const std::string& call)
{
    expect(status == wanted, call + " answered " + statusText(status) + ", expected " + statusText(wanted));
}
}  // namespace auval
