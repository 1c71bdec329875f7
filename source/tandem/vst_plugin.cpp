// Loading, opening and closing the hosted effect, and the guarded calls
// through its record.

#include "tandem/vst_plugin.h"

#include "tandem/cf_handle.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"

#include <cstdlib>

VSTPlugIn* VSTPlugIn::tempPlugInPointer = nullptr;

namespace
{
// The entry names a host tries, in order. Linux plug-ins built with some
// frameworks export only the oldest one, "main".
constexpr const char* kEntryNames[] = {"main_macho", "VSTPluginMain", "main"};

void* findEntry(CFBundleRef bundle)
{
    for (const char* entryName : kEntryNames)
    {
        const CFHandle<CFStringRef> name(
            CFStringCreateWithCString(kCFAllocatorDefault, entryName, kCFStringEncodingASCII));
        if (!name)
        {
            continue;
        }
        void* entry = CFBundleGetFunctionPointerForName(bundle, name.get());
        if (entry != nullptr)
        {
            return entry;
        }
    }
    return nullptr;
}

// Anything the effect throws is a fatal internal error: nothing it throws
// may reach the host.
[[noreturn]] void stopAfterEffectException(const char* where)
{
    tandemTrace("Caught exception in VST %s\n", where);
    std::abort();
}
}  // namespace

VSTPlugIn::VSTPlugIn(VSTHost& host, CFBundleRef bundle, float sampleRate, int blockSize)
    : host(host), bundleRef(bundle), aeffect(nullptr), openFlag(false), resumedFlag(false), wantsMidiFlag(false),
      editorOpenFlag(false), currentSampleRate(sampleRate), currentBlockSize(blockSize)
{
    TANDEM_REQUIRE(bundle != 0);
    CFRetain(bundleRef);
}

VSTPlugIn::~VSTPlugIn()
{
    if (editorOpenFlag)
    {
        dispatch(effEditClose, 0, 0, nullptr, 0.0f);
        editorOpenFlag = false;
    }
    if (aeffect != nullptr)
    {
        dispatch(effClose, 0, 0, nullptr, 0.0f);
        aeffect = nullptr;
    }
    TANDEM_REQUIRE(bundleRef != 0);
    // An object whose open() never loaded the executable has nothing to
    // unload; it must still be destructible.
    if (CFBundleIsExecutableLoaded(bundleRef) && CFGetRetainCount(bundleRef) == 1)
    {
        CFBundleUnloadExecutable(bundleRef);
    }
    releaseCF(bundleRef);
}

VstIntPtr VSTPlugIn::open()
{
    tandemTrace("VST open\n");
    TANDEM_REQUIRE(!openFlag);
    TANDEM_REQUIRE(!resumedFlag);
    if (!CFBundleIsExecutableLoaded(bundleRef) && !CFBundleLoadExecutable(bundleRef))
    {
        throw TandemException("Could not load VST bundle executable");
    }
    loadEntryAndCreateEffect();
    setSampleRate(currentSampleRate);
    if (currentBlockSize != 0)
    {
        setBlockSize(currentBlockSize);
    }
    const VstIntPtr answer = dispatch(effOpen, 0, 0, nullptr, 0.0f);
    openFlag = true;
    return answer;
}

void VSTPlugIn::loadEntryAndCreateEffect()
{
    const auto entry = reinterpret_cast<VstPluginMainProc>(findEntry(bundleRef));
    if (entry == nullptr)
    {
        throw TandemException("Could not locate function in bundle executable (\"main_macho\" or \"VSTPluginMain\")");
    }
    TANDEM_REQUIRE(tempPlugInPointer == 0);
    tempPlugInPointer = this;
    try
    {
        AEffect* newAEffect = entry(staticAudioMasterCallback);
        if (newAEffect == nullptr || newAEffect->magic != kEffectMagic)
        {
            throw TandemException("VST main() doesn't return object AEffect*");
        }
        TANDEM_REQUIRE(aeffect == 0 || aeffect == newAEffect);
        aeffect = newAEffect;
        aeffect->resvd1 = reinterpret_cast<VstIntPtr>(this);
    }
    catch (...)
    {
        // The callback may have stored a record that is not to be used.
        aeffect = nullptr;
        tempPlugInPointer = nullptr;
        throw;
    }
    tempPlugInPointer = nullptr;
}

bool VSTPlugIn::hasEditor() const { return (getAEffect().flags & effFlagsHasEditor) != 0; }

bool VSTPlugIn::canProcessReplacing() const { return (getAEffect().flags & effFlagsCanReplacing) != 0; }

bool VSTPlugIn::hasProgramChunks() const { return (getAEffect().flags & effFlagsProgramChunks) != 0; }

bool VSTPlugIn::dontProcessSilence() const { return (getAEffect().flags & effFlagsNoSoundInStop) != 0; }

int VSTPlugIn::getProgramCount() const { return getAEffect().numPrograms; }

int VSTPlugIn::getParameterCount() const { return getAEffect().numParams; }

int VSTPlugIn::getInputCount() const { return getAEffect().numInputs; }

int VSTPlugIn::getOutputCount() const { return getAEffect().numOutputs; }

int VSTPlugIn::getInitialDelay() const { return getAEffect().initialDelay; }

bool VSTPlugIn::wantsMidi() const
{
    TANDEM_REQUIRE(resumedFlag);
    return wantsMidiFlag;
}

const AEffect& VSTPlugIn::getAEffect() const
{
    TANDEM_REQUIRE(aeffect != 0);
    return *aeffect;
}

VstIntPtr VSTPlugIn::dispatch(int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    TANDEM_REQUIRE(aeffect != 0);
    if (aeffect->dispatcher == nullptr)
    {
        tandemTrace("VST dispatcher function pointer was null\n");
        TANDEM_REQUIRE((aeffect->dispatcher != 0));
    }
    try
    {
        return aeffect->dispatcher(aeffect, opcode, index, value, ptr, opt);
    }
    catch (...)
    {
        stopAfterEffectException("dispatcher");
    }
}

float VSTPlugIn::getParameter(int index)
{
    TANDEM_REQUIRE(aeffect != 0);
    if (aeffect->getParameter == nullptr)
    {
        tandemTrace("VST getParameter function pointer was null\n");
        TANDEM_REQUIRE((aeffect->getParameter != 0));
    }
    float value = 0.0f;
    try
    {
        value = aeffect->getParameter(aeffect, index);
    }
    catch (...)
    {
        stopAfterEffectException("getParameter");
    }
    TANDEM_REQUIRE(value >= 0.0f);
    TANDEM_REQUIRE(value <= 1.0f);
    return value;
}

void VSTPlugIn::setParameter(int index, float value)
{
    TANDEM_REQUIRE(value >= 0.0);
    TANDEM_REQUIRE(value <= 1.0);
    TANDEM_REQUIRE(aeffect != 0);
    if (aeffect->setParameter == nullptr)
    {
        tandemTrace("VST setParameter function pointer was null\n");
        TANDEM_REQUIRE((aeffect->setParameter != 0));
    }
    try
    {
        aeffect->setParameter(aeffect, index, value);
    }
    catch (...)
    {
        stopAfterEffectException("setParameter");
    }
}

void VSTPlugIn::processReplacing(const float* const* inputs, float* const* outputs, int frames)
{
    TANDEM_REQUIRE(openFlag && resumedFlag);
    TANDEM_REQUIRE(canProcessReplacing());
    if (aeffect->processReplacing == nullptr)
    {
        tandemTrace("VST processReplacing function pointer was null\n");
        TANDEM_REQUIRE(aeffect->processReplacing != 0);
    }
    try
    {
        // The record's signature predates const; effects never write inputs.
        aeffect->processReplacing(aeffect, const_cast<float**>(inputs), const_cast<float**>(outputs), frames);
    }
    catch (...)
    {
        stopAfterEffectException("processReplacing");
    }
}

void VSTPlugIn::processAccumulating(const float* const* inputs, float* const* outputs, int frames)
{
    TANDEM_REQUIRE(openFlag && resumedFlag);
    if (aeffect->process == nullptr)
    {
        tandemTrace("VST process function pointer was null\n");
        TANDEM_REQUIRE((aeffect->process != 0));
    }
    try
    {
        aeffect->process(aeffect, const_cast<float**>(inputs), const_cast<float**>(outputs), frames);
    }
    catch (...)
    {
        stopAfterEffectException("process");
    }
}
