#pragma once
// The VST3 binary interface as this tree declares it: scalar types, result
// codes, identifiers, the root interface, streams and the plug-in factory.
// Interfaces are abstract classes laid out by the Itanium C++ ABI (one table
// pointer, methods in declaration order after their base's); declaring them
// in this order is what makes them binary-compatible with any host. No
// interface has a virtual destructor, and none may get one.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vst3
{
using int8 = char;
using char8 = char;
using int16 = std::int16_t;
using uint16 = std::uint16_t;
using int32 = std::int32_t;
using uint32 = std::uint32_t;
using int64 = std::int64_t;
using uint64 = std::uint64_t;
using char16 = char16_t;
using TBool = std::uint8_t;
using tresult = int32;
using FIDString = const char*;
using TUID = char[16];
using String128 = char16[128];

inline constexpr tresult kResultOk = 0;
inline constexpr tresult kResultTrue = 0;
inline constexpr tresult kResultFalse = 1;
inline constexpr tresult kNoInterface = -1;
inline constexpr tresult kInvalidArgument = 2;
inline constexpr tresult kNotImplemented = 3;
inline constexpr tresult kInternalError = 4;
inline constexpr tresult kNotInitialized = 5;
inline constexpr tresult kOutOfMemory = 6;

// An interface or class identifier: four 32-bit words, each stored most
// significant byte first, so the 16 bytes read as the 32 hex digits of the
// words in order.
struct Uid
{
    unsigned char bytes[16];

    const char* data() const { return reinterpret_cast<const char*>(bytes); }
    bool is(const char* other) const { return other && std::memcmp(bytes, other, sizeof bytes) == 0; }
};

constexpr Uid makeUid(uint32 w1, uint32 w2, uint32 w3, uint32 w4)
{
    Uid uid{};
    const uint32 words[4] = {w1, w2, w3, w4};
    for (int word = 0; word < 4; ++word)
        for (int byte = 0; byte < 4; ++byte)
            uid.bytes[word * 4 + byte] = static_cast<unsigned char>(words[word] >> (24 - 8 * byte));
    return uid;
}

class FUnknown
{
public:
    static constexpr Uid iid = makeUid(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
    // On success a reference is added for the caller; otherwise *object is null.
    virtual tresult queryInterface(const TUID interfaceId, void** object) = 0;
    virtual uint32 addRef() = 0;
    virtual uint32 release() = 0;
};

class IPluginBase : public FUnknown
{
public:
    static constexpr Uid iid = makeUid(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);
    virtual tresult initialize(FUnknown* context) = 0;
    virtual tresult terminate() = 0;
};

// The host's byte stream for states. A read past the end answers fewer bytes.
class IBStream : public FUnknown
{
public:
    static constexpr Uid iid = makeUid(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
    enum SeekMode : int32
    {
        kSeekSet = 0,
        kSeekCur = 1,
        kSeekEnd = 2,
    };
    virtual tresult read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
    virtual tresult write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
    virtual tresult seek(int64 position, int32 mode, int64* result) = 0;
    virtual tresult tell(int64* position) = 0;
};

struct PFactoryInfo
{
    enum FactoryFlags : int32
    {
        kNoFlags = 0,
        kUnicode = 16,
    };
    char8 vendor[64];
    char8 url[256];
    char8 email[128];
    int32 flags;
};

inline constexpr int32 kManyInstances = 0x7FFFFFFF;

struct PClassInfo
{
    TUID cid;
    int32 cardinality;
    char8 category[32];
    char8 name[64];
};

struct PClassInfo2
{
    TUID cid;
    int32 cardinality;
    char8 category[32];
    char8 name[64];
    uint32 classFlags;
    char8 subCategories[128];
    char8 vendor[64];
    char8 version[64];
    char8 sdkVersion[64];
};

struct PClassInfoW
{
    TUID cid;
    int32 cardinality;
    char8 category[32];
    char16 name[64];
    uint32 classFlags;
    char8 subCategories[128];
    char16 vendor[64];
    char16 version[64];
    char16 sdkVersion[64];
};

// classFlags
inline constexpr uint32 kDistributable = 1;

class IPluginFactory : public FUnknown
{
public:
    static constexpr Uid iid = makeUid(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);
    virtual tresult getFactoryInfo(PFactoryInfo* info) = 0;
    virtual int32 countClasses() = 0;
    virtual tresult getClassInfo(int32 index, PClassInfo* info) = 0;
    // Both identifiers point at 16 bytes; the object comes back queried for iid.
    virtual tresult createInstance(FIDString classId, FIDString interfaceId, void** object) = 0;
};

class IPluginFactory2 : public IPluginFactory
{
public:
    static constexpr Uid iid = makeUid(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
    virtual tresult getClassInfo2(int32 index, PClassInfo2* info) = 0;
};

class IPluginFactory3 : public IPluginFactory2
{
public:
    static constexpr Uid iid = makeUid(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
    virtual tresult getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
    virtual tresult setHostContext(FUnknown* context) = 0;
};

static_assert(sizeof(PFactoryInfo) == 452 && alignof(PFactoryInfo) == 4);
static_assert(sizeof(PClassInfo) == 116 && offsetof(PClassInfo, name) == 52);
static_assert(sizeof(PClassInfo2) == 440 && offsetof(PClassInfo2, sdkVersion) == 376);
static_assert(sizeof(PClassInfoW) == 696 && offsetof(PClassInfoW, classFlags) == 180 &&
              offsetof(PClassInfoW, sdkVersion) == 568);
}  // namespace vst3
