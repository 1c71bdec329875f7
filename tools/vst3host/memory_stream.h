#pragma once
// A host's state stream in memory: what a plug-in's getState writes, or the
// bytes a setState reads. Used by one thread at a time.

#include "vst3host/host_object.h"

#include <cstdint>
#include <vector>

namespace vst3host
{
class MemoryStream : public HostObject<vst3::IBStream>
{
public:
    MemoryStream() = default;
    // Reads start at the first byte.
    explicit MemoryStream(std::vector<std::uint8_t> contents) : data(std::move(contents)) {}

    // A read past the end answers fewer bytes and kResultOk, as hosts' own
    // memory streams do; a plug-in must check the count.
    vst3::tresult read(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesRead) override;
    vst3::tresult write(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesWritten) override;
    vst3::tresult seek(vst3::int64 position, vst3::int32 mode, vst3::int64* result) override;
    vst3::tresult tell(vst3::int64* position) override;

    const std::vector<std::uint8_t>& bytes() const { return data; }

private:
    std::vector<std::uint8_t> data;
    std::size_t cursor = 0;
};
}  // namespace vst3host
