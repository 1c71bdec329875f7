// Memory Manager handles. A handle is the address of the first field of a
// heap block that also records the data's size, so the size travels with it.
#include <CoreServices/MacMemory.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace
{

struct HandleBlock
{
    Ptr data;  // the master pointer; the handle points here
    Size size;
};

thread_local OSErr lastError = noErr;

HandleBlock* blockOf(Handle h) { return reinterpret_cast<HandleBlock*>(h); }

void finish(OSErr error) { lastError = error; }

}  // namespace

extern "C" {

Handle NewHandle(Size byteCount)
{
    if (byteCount < 0)
    {
        finish(paramErr);
        return nullptr;
    }
    auto* block = static_cast<HandleBlock*>(std::malloc(sizeof(HandleBlock)));
    // At least one byte, so that an empty handle still has a master pointer.
    Ptr data = static_cast<Ptr>(std::calloc(static_cast<size_t>(byteCount > 0 ? byteCount : 1), 1));
    if (!block || !data)
    {
        std::free(block);
        std::free(data);
        finish(memFullErr);
        return nullptr;
    }
    block->data = data;
    block->size = byteCount;
    finish(noErr);
    return &block->data;
}

void DisposeHandle(Handle h)
{
    if (h)
    {
        std::free(blockOf(h)->data);
        std::free(blockOf(h));
    }
    finish(noErr);
}

Size GetHandleSize(Handle h)
{
    finish(h ? OSErr{noErr} : OSErr{paramErr});
    return h ? blockOf(h)->size : 0;
}

void SetHandleSize(Handle h, Size newSize)
{
    if (!h || newSize < 0)
    {
        finish(paramErr);
        return;
    }
    HandleBlock* block = blockOf(h);
    auto* data = static_cast<Ptr>(std::realloc(block->data, static_cast<size_t>(newSize > 0 ? newSize : 1)));
    if (!data)
    {
        finish(memFullErr);
        return;
    }
    if (newSize > block->size)
        std::memset(data + block->size, 0, static_cast<size_t>(newSize - block->size));
    block->data = data;
    block->size = newSize;
    finish(noErr);
}

OSErr MemError(void) { return lastError; }

}  // extern "C"
