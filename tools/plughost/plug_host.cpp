#include "plughost/plug_host.h"

#include "tandem/vst_plugin.h"

#include <cstring>
#include <string_view>

namespace
{
constexpr double kTempo = 120.0;  // beats per minute
constexpr int kBeatsPerBar = 4;

// Host capabilities this host really has: it hands out time info and gives
// idle time; it sends no events and opens no windows.
constexpr std::string_view kHostCapabilities[] = {"sendVstTimeInfo", "supplyIdle"};

// Effects give 64-byte buffers for vendor and product strings.
void copyHostString(char* buffer, const char* text)
{
    if (buffer != nullptr)
    {
        std::strncpy(buffer, text, 63);
        buffer[63] = '\0';
    }
}
}  // namespace

PlugHost::PlugHost(double sampleRate)
{
    vstTimeInfo.sampleRate = sampleRate;
    vstTimeInfo.tempo = kTempo;
    vstTimeInfo.timeSigNumerator = kBeatsPerBar;
    vstTimeInfo.timeSigDenominator = 4;
    vstTimeInfo.flags = kVstTransportPlaying | kVstNanosValid | kVstPpqPosValid | kVstTempoValid | kVstBarsValid |
                        kVstTimeSigValid;
}

void PlugHost::advanceTime(int frames)
{
    vstTimeInfo.samplePos += frames;
    const double seconds = vstTimeInfo.samplePos / vstTimeInfo.sampleRate;
    vstTimeInfo.nanoSeconds = seconds * 1.0e9;
    vstTimeInfo.ppqPos = seconds * kTempo / 60.0;
    vstTimeInfo.barStartPos = static_cast<double>(static_cast<long long>(vstTimeInfo.ppqPos / kBeatsPerBar)) *
                              kBeatsPerBar;
}

void PlugHost::getVendor(VSTPlugIn&, char* vendor) { copyHostString(vendor, kPlugHostVendor); }

void PlugHost::getProduct(VSTPlugIn&, char* product) { copyHostString(product, kPlugHostProduct); }

int PlugHost::getVersion(VSTPlugIn&) { return kPlugHostVersion; }

bool PlugHost::canDo(VSTPlugIn&, const char* what)
{
    if (what == nullptr)
    {
        return false;
    }
    for (std::string_view capability : kHostCapabilities)
    {
        if (capability == what)
        {
            return true;
        }
    }
    return false;
}

VstTimeInfo* PlugHost::getTimeInfo(VSTPlugIn&, int)
{
    ++timeInfoRequests;
    return &vstTimeInfo;
}

void PlugHost::beginEdit(VSTPlugIn&, int parameterIndex) { record(HostEdit::Kind::beginEdit, parameterIndex, 0.0f); }

void PlugHost::automate(VSTPlugIn&, int parameterIndex, float value)
{
    record(HostEdit::Kind::automate, parameterIndex, value);
}

void PlugHost::endEdit(VSTPlugIn&, int parameterIndex) { record(HostEdit::Kind::endEdit, parameterIndex, 0.0f); }

bool PlugHost::isIOPinConnected(VSTPlugIn& plugIn, bool checkOutputPin, int pinIndex)
{
    const int pinCount = checkOutputPin ? plugIn.getOutputCount() : plugIn.getInputCount();
    return pinIndex >= 0 && pinIndex < pinCount;
}

void PlugHost::idle(VSTPlugIn&) {}

void PlugHost::updateDisplay(VSTPlugIn&) {}

void PlugHost::resizeWindow(VSTPlugIn&, int, int) {}

void PlugHost::record(HostEdit::Kind kind, int parameterIndex, float value)
{
    if (editCount < kMaxEdits)
    {
        recordedEdits[editCount++] = HostEdit{kind, parameterIndex, value};
    }
}
