#include "vst3host/memory_stream.h"

#include <algorithm>
#include <cstring>

namespace vst3host
{
vst3::tresult MemoryStream::read(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesRead)
{
    if (numBytes < 0 || (!buffer && numBytes > 0))
        return vst3::kInvalidArgument;
    const std::size_t available = cursor < data.size() ? data.size() - cursor : 0;
    const std::size_t count = std::min(available, static_cast<std::size_t>(numBytes));
    if (count > 0)
        std::memcpy(buffer, data.data() + cursor, count);
    cursor += count;
    if (numBytesRead)
        *numBytesRead = static_cast<vst3::int32>(count);
    return vst3::kResultOk;
}

vst3::tresult MemoryStream::write(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesWritten)
{
    if (numBytes < 0 || (!buffer && numBytes > 0))
        return vst3::kInvalidArgument;
    return withoutThrowing([&] {
        const auto count = static_cast<std::size_t>(numBytes);
        if (cursor + count > data.size())
            data.resize(cursor + count);
        if (count > 0)
            std::memcpy(data.data() + cursor, buffer, count);
        cursor += count;
        if (numBytesWritten)
            *numBytesWritten = numBytes;
        return vst3::kResultOk;
    });
}

vst3::tresult MemoryStream::seek(vst3::int64 position, vst3::int32 mode, vst3::int64* result)
{
    const vst3::int64 base = mode == kSeekSet   ? 0
                             : mode == kSeekCur ? static_cast<vst3::int64>(cursor)
                             : mode == kSeekEnd ? static_cast<vst3::int64>(data.size())
                                                : -1;
    if (base < 0 || base + position < 0)
        return vst3::kInvalidArgument;
    cursor = static_cast<std::size_t>(base + position);
    if (result)
        *result = base + position;
    return vst3::kResultOk;
}

vst3::tresult MemoryStream::tell(vst3::int64* position)
{
    if (!position)
        return vst3::kInvalidArgument;
    *position = static_cast<vst3::int64>(cursor);
    return vst3::kResultOk;
}
}  // namespace vst3host
