#pragma once
// The VST3 audio side: the component and its audio processor, buses, the
// block a host hands over and the parameter changes that come with it.

#include "vst3/abi/base.h"

namespace vst3
{
using ParamID = uint32;
using ParamValue = double;
using SpeakerArrangement = uint64;
using Sample32 = float;
using Sample64 = double;

enum MediaTypes : int32
{
    kAudio = 0,
    kEvent = 1,
};
enum BusDirections : int32
{
    kInput = 0,
    kOutput = 1,
};
enum BusTypes : int32
{
    kMain = 0,
    kAux = 1,
};
enum BusFlags : uint32
{
    kDefaultActive = 1,
};
enum SymbolicSampleSizes : int32
{
    kSample32 = 0,
    kSample64 = 1,
};
enum ProcessModes : int32
{
    kRealtime = 0,
    kPrefetch = 1,
    kOffline = 2,
};

namespace speaker
{
inline constexpr SpeakerArrangement kEmpty = 0;
inline constexpr SpeakerArrangement kMono = 1u << 19;
inline constexpr SpeakerArrangement kStereo = 0x3;
}  // namespace speaker

inline constexpr uint32 kNoTail = 0;

struct BusInfo
{
    int32 mediaType;
    int32 direction;
    int32 channelCount;
    String128 name;
    int32 busType;
    uint32 flags;
};

struct RoutingInfo
{
    int32 mediaType;
    int32 busIndex;
    int32 channel;
};

struct ProcessSetup
{
    int32 processMode;
    int32 symbolicSampleSize;
    int32 maxSamplesPerBlock;
    double sampleRate;
};

struct AudioBusBuffers
{
    int32 numChannels;
    uint64 silenceFlags;  // bit n: channel n is all zeros
    union
    {
        Sample32** channelBuffers32;
        Sample64** channelBuffers64;
    };
};

struct FrameRate
{
    uint32 framesPerSecond;
    uint32 flags;
};

struct Chord
{
    std::uint8_t keyNote;
    std::uint8_t rootNote;
    int16 chordMask;
};

// Filled by the host only where the bits of state say so.
struct ProcessContext
{
    uint32 state;
    double sampleRate;
    int64 projectTimeSamples;
    int64 systemTime;
    int64 continousTimeSamples;
    double projectTimeMusic;
    double barPositionMusic;
    double cycleStartMusic;
    double cycleEndMusic;
    double tempo;
    int32 timeSigNumerator;
    int32 timeSigDenominator;
    Chord chord;
    int32 smpteOffsetSubframes;
    FrameRate frameRate;
    int32 samplesToNextClock;
};

// Normalized values at sample offsets in the block, in increasing offset.
class IParamValueQueue : public FUnknown
{
public:
    static constexpr Uid iid = makeUid(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);
    virtual ParamID getParameterId() = 0;
    virtual int32 getPointCount() = 0;
    virtual tresult getPoint(int32 index, int32& sampleOffset, ParamValue& value) = 0;
    virtual tresult addPoint(int32 sampleOffset, ParamValue value, int32& index) = 0;
};

class IParameterChanges : public FUnknown
{
public:
    static constexpr Uid iid = makeUid(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);
    virtual int32 getParameterCount() = 0;
    // No reference is added to the queue.
    virtual IParamValueQueue* getParameterData(int32 index) = 0;
    virtual IParamValueQueue* addParameterData(const ParamID& id, int32& index) = 0;
};

class IEventList;  // note events; an effect without event buses never reads them

struct ProcessData
{
    int32 processMode;
    int32 symbolicSampleSize;
    int32 numSamples;
    int32 numInputs;
    int32 numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    IEventList* inputEvents;
    IEventList* outputEvents;
    ProcessContext* processContext;
};

class IComponent : public IPluginBase
{
public:
    static constexpr Uid iid = makeUid(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);
    virtual tresult getControllerClassId(TUID classId) = 0;
    virtual tresult setIoMode(int32 mode) = 0;
    virtual int32 getBusCount(int32 mediaType, int32 direction) = 0;
    virtual tresult getBusInfo(int32 mediaType, int32 direction, int32 index, BusInfo& bus) = 0;
    virtual tresult getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
    virtual tresult activateBus(int32 mediaType, int32 direction, int32 index, TBool state) = 0;
    virtual tresult setActive(TBool state) = 0;
    virtual tresult setState(IBStream* state) = 0;
    virtual tresult getState(IBStream* state) = 0;
};

class IAudioProcessor : public FUnknown
{
public:
    static constexpr Uid iid = makeUid(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);
    // kResultTrue when taken, kResultFalse when not (the arrangement kept is
    // then asked for).
    virtual tresult setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                       int32 numOuts) = 0;
    virtual tresult getBusArrangement(int32 direction, int32 index, SpeakerArrangement& arrangement) = 0;
    virtual tresult canProcessSampleSize(int32 symbolicSampleSize) = 0;
    virtual uint32 getLatencySamples() = 0;
    virtual tresult setupProcessing(ProcessSetup& setup) = 0;
    virtual tresult setProcessing(TBool state) = 0;
    virtual tresult process(ProcessData& data) = 0;
    virtual uint32 getTailSamples() = 0;
};

class IProcessContextRequirements : public FUnknown
{
public:
    static constexpr Uid iid = makeUid(0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0);
    virtual uint32 getProcessContextRequirements() = 0;
};

static_assert(sizeof(BusInfo) == 276 && offsetof(BusInfo, busType) == 268);
static_assert(sizeof(ProcessSetup) == 24 && offsetof(ProcessSetup, sampleRate) == 16);
static_assert(sizeof(AudioBusBuffers) == 24 && offsetof(AudioBusBuffers, channelBuffers32) == 16);
static_assert(sizeof(ProcessData) == 80 && offsetof(ProcessData, processContext) == 72);
static_assert(sizeof(ProcessContext) == 112 && offsetof(ProcessContext, samplesToNextClock) == 104);
}  // namespace vst3
