#include "platform/cf_object.h"

#include "platform/cf_string.h"

#include <climits>
#include <cstdio>

namespace velmora::cf
{

namespace
{
// What the Mac reports for objects that are never freed.
constexpr CFIndex kImmortalRetainCount = 0x0FFFFFFFFFFFFFFF;
}  // namespace

void Object::retain() const
{
    if (!immortal_)
        retainCount_.fetch_add(1, std::memory_order_relaxed);
}

bool Object::tryRetain() const
{
    if (immortal_)
        return true;
    CFIndex count = retainCount_.load(std::memory_order_relaxed);
    while (count > 0)
    {
        if (retainCount_.compare_exchange_weak(count, count + 1, std::memory_order_acq_rel))
            return true;
    }
    return false;
}

void Object::release() const
{
    if (immortal_)
        return;
    if (retainCount_.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete this;
}

CFIndex Object::retainCount() const
{
    return immortal_ ? kImmortalRetainCount : retainCount_.load(std::memory_order_relaxed);
}

std::string Object::describe() const { return defaultDescription("CFType"); }

std::string Object::defaultDescription(const char* typeName) const
{
    char text[96];
    std::snprintf(text, sizeof text, "<%s %p>", typeName, static_cast<const void*>(this));
    return text;
}

}  // namespace velmora::cf

using velmora::cf::asObject;

extern "C" {

const CFAllocatorRef kCFAllocatorDefault = nullptr;

CFTypeID CFGetTypeID(CFTypeRef cf) { return cf ? static_cast<CFTypeID>(asObject(cf)->typeID()) : 0; }

CFTypeRef CFRetain(CFTypeRef cf)
{
    if (cf)
        asObject(cf)->retain();
    return cf;
}

void CFRelease(CFTypeRef cf)
{
    if (cf)
        asObject(cf)->release();
}

CFIndex CFGetRetainCount(CFTypeRef cf) { return cf ? asObject(cf)->retainCount() : 0; }

Boolean CFEqual(CFTypeRef cf1, CFTypeRef cf2)
{
    if (cf1 == cf2)
        return true;
    if (!cf1 || !cf2)
        return false;
    const auto& first = *asObject(cf1);
    const auto& second = *asObject(cf2);
    return first.typeID() == second.typeID() && first.equals(second);
}

CFHashCode CFHash(CFTypeRef cf) { return cf ? asObject(cf)->hash() : 0; }

CFStringRef CFCopyDescription(CFTypeRef cf)
{
    return velmora::cf::String::createFromUTF8(cf ? asObject(cf)->describe() : std::string("(null)"));
}

}  // extern "C"
